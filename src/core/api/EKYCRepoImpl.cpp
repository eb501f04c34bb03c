#include "api/EKYCRepoImpl.h"

#include "api/EKYCSubmitInforRequest.h"

namespace ovira {
namespace {

void addFilePart(MultipartForms& parts, const std::optional<std::filesystem::path>& fileURL) {
    if (!fileURL) return;
    parts.push_back(std::make_shared<MultipartFormData>(MultipartFormData::File{*fileURL}, "file",
                                                        fileURL->filename().string(),
                                                        EKYCMultipartFormDataMimeType::jpeg));
}

std::optional<std::string> documentPath(EkycTypeDocument typeDocument) {
    switch (typeDocument) {
        case EkycTypeDocument::idCard:
            return "/nationId";
        case EkycTypeDocument::licenseDriver:
            return "/driverlicense";
        case EkycTypeDocument::passport:
            return std::nullopt;  // the passport has its own upload; this goes to the base address
    }
    return std::nullopt;
}

}  // namespace

std::vector<EKYCLocation> EKYCRepoImpl::listCountry() {
    return get<std::vector<EKYCLocation>>("/listCountry");
}

std::vector<EKYCLocation> EKYCRepoImpl::listNational() {
    return get<std::vector<EKYCLocation>>("/listNational");
}

EKYCIdentityDocument EKYCRepoImpl::getInfo() {
    return get<EKYCIdentityDocument>("/getInfo");
}

EKYCVerification EKYCRepoImpl::uploadDocument(EkycTypeDocument typeDocument, EKYCStep step,
                                              const std::optional<std::filesystem::path>& fileURL) {
    MultipartForms parts;
    addFilePart(parts, fileURL);
    std::string type(rawValue(step));
    for (char& c : type) c = static_cast<char>(c - 'a' + 'A');
    parts.push_back(std::make_shared<MultipartFormData>(MultipartFormData::String{type}, "type"));
    return postMultipart<EKYCVerification>(documentPath(typeDocument), parts);
}

EKYCVerification EKYCRepoImpl::uploadFace(const std::optional<std::filesystem::path>& fileURL) {
    MultipartForms parts;
    addFilePart(parts, fileURL);
    return postMultipart<EKYCVerification>("/captureFace", parts);
}

EKYCVerification EKYCRepoImpl::uploadPassport(const std::optional<std::filesystem::path>& fileURL) {
    MultipartForms parts;
    addFilePart(parts, fileURL);
    return postMultipart<EKYCVerification>("/passport", parts);
}

bool EKYCRepoImpl::submitInfo(const std::vector<EKYCInfomationDocument>& form) {
    return postJSON<bool>("/submitInfo", EKYCSubmitInforRequest::make(form));
}

}  // namespace ovira

#include "ovira/MultipartFormData.h"

#include <cstdio>

#include "platform/FileContents.h"
#include "platform/SecureRandom.h"
#include "platform/UniformTypeIdentifiers.h"

namespace ovira {
namespace {

constexpr std::string_view kCRLF = EKYCMultipartFormDataChars::crlf;

// A name or file name inside double quotes: a quote or a line break would end
// the header early and let the text forge headers of its own, so they are
// written percent-encoded, as browsers do.
std::string headerParameter(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '"') out += "%22";
        else if (c == '\r') out += "%0D";
        else if (c == '\n') out += "%0A";
        else out += c;
    }
    return out;
}

Data filePart(const std::string& boundary, const std::string& name, const std::string& fileName,
              const std::string& mimeType, const Data& content) {
    Data part;
    part.reserve(content.size() + boundary.size() + name.size() + fileName.size() + mimeType.size() + 96);
    append(part, "--");
    append(part, boundary);
    append(part, kCRLF);
    append(part, "Content-Disposition: form-data; name=\"");
    append(part, headerParameter(name));
    append(part, "\"; filename=\"");
    append(part, headerParameter(fileName));
    append(part, "\"");
    append(part, kCRLF);
    append(part, "Content-Type: ");
    append(part, mimeType);
    append(part, kCRLF);
    append(part, kCRLF);
    append(part, content);
    append(part, kCRLF);
    return part;
}

}  // namespace

MultipartFormData::MultipartFormData(Provider provider, std::string name, std::optional<std::string> fileName,
                                     std::optional<std::string> mimeType)
    : provider_(std::move(provider)),
      name_(std::move(name)),
      fileName_(std::move(fileName)),
      mimeType_(std::move(mimeType)) {}

Data MultipartFormData::getData(const std::string& boundary) const {
    if (const auto* text = std::get_if<String>(&provider_)) {
        Data part;
        append(part, "--");
        append(part, boundary);
        append(part, kCRLF);
        append(part, "Content-Disposition: form-data; name=\"");
        append(part, headerParameter(name_));
        append(part, "\"");
        append(part, kCRLF);
        append(part, kCRLF);
        append(part, text->value);
        append(part, kCRLF);
        return part;
    }
    if (const auto* bytes = std::get_if<Data>(&provider_)) {
        return filePart(boundary, name_, fileName_.value_or("file"),
                        mimeType_.value_or(EKYCMultipartFormDataMimeType::octetStream), *bytes);
    }
    const auto& url = std::get<File>(provider_).url;
    const auto content = readFileContents(url);
    if (!content) return {};
    std::string extension = url.extension().string();
    if (!extension.empty()) extension.erase(0, 1);
    const std::string mimeType =
        preferredMIMEType(extension).value_or(EKYCMultipartFormDataMimeType::octetStream);
    return filePart(boundary, name_, url.filename().string(), mimeType, makeData(*content));
}

EKYCMultipartFormDataBuilder::EKYCMultipartFormDataBuilder(MultipartForms forms) : forms_(std::move(forms)) {}

const std::string& EKYCMultipartFormDataBuilder::boundary() {
    if (!boundary_) {
        char text[64];
        std::snprintf(text, sizeof text, "networking.boundary.%08x%08x", SecureRandom::next32(),
                      SecureRandom::next32());
        boundary_ = text;
    }
    return *boundary_;
}

Data EKYCMultipartFormDataBuilder::build() {
    const std::string& separator = boundary();
    for (const auto& form : forms_) {
        if (form) append(httpBody_, form->getData(separator));
    }
    append(httpBody_, "--");
    append(httpBody_, separator);
    append(httpBody_, "--");
    append(httpBody_, kCRLF);
    return httpBody_;
}

}  // namespace ovira

#pragma once

#include "api/EKYCBaseRepo.h"
#include "api/IEKYCRepo.h"

namespace ovira {

// The service's endpoints over the shared HTTP client. Stateless: any number
// of instances behave alike, from any thread.
class EKYCRepoImpl : public EKYCBaseRepo, public IEKYCRepo {
public:
    std::vector<EKYCLocation> listCountry() override;
    std::vector<EKYCLocation> listNational() override;
    EKYCIdentityDocument getInfo() override;
    EKYCVerification uploadDocument(EkycTypeDocument typeDocument, EKYCStep step,
                                    const std::optional<std::filesystem::path>& fileURL) override;
    EKYCVerification uploadFace(const std::optional<std::filesystem::path>& fileURL) override;
    EKYCVerification uploadPassport(const std::optional<std::filesystem::path>& fileURL) override;
    bool submitInfo(const std::vector<EKYCInfomationDocument>& form) override;
};

}  // namespace ovira

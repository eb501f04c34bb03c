#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "api/EKYCIdentityDocument.h"
#include "api/EKYCLocation.h"
#include "api/EKYCStep.h"
#include "api/EKYCVerification.h"
#include "ovira/EkycTypeDocument.h"

namespace ovira {

// The eKYC service's endpoints. Every operation blocks its calling thread for
// one exchange (never call it on the GUI thread) and returns the payload or
// throws EKYCAPIError (or EncodingError for a form that cannot be written).
class IEKYCRepo {
public:
    virtual ~IEKYCRepo() = default;

    virtual std::vector<EKYCLocation> listCountry() = 0;
    virtual std::vector<EKYCLocation> listNational() = 0;
    virtual EKYCIdentityDocument getInfo() = 0;
    // A side of an identity card or driving licence: the "file" part (when
    // there is a file) and the step upper-cased as the "type" part.
    virtual EKYCVerification uploadDocument(EkycTypeDocument typeDocument, EKYCStep step,
                                            const std::optional<std::filesystem::path>& fileURL) = 0;
    virtual EKYCVerification uploadFace(const std::optional<std::filesystem::path>& fileURL) = 0;
    virtual EKYCVerification uploadPassport(const std::optional<std::filesystem::path>& fileURL) = 0;
    // The callers only care that it succeeded; the service's boolean is returned as is.
    virtual bool submitInfo(const std::vector<EKYCInfomationDocument>& form) = 0;
};

}  // namespace ovira

#include "ovira/EKYCAPIError.h"

#include "ovira/Data.h"
#include "ovira/EKYCBaseApiResponse.h"

namespace ovira {
namespace {
std::string genericDescription(const std::string& domain, int code) {
    return "The operation couldn\u2019t be completed. (" + domain + " error " + std::to_string(code) + ".)";
}
}  // namespace

std::string PlatformError::localizedDescription() const {
    if (auto it = userInfo.find(kLocalizedDescriptionKey); it != userInfo.end()) return it->second;
    return genericDescription(domain, code);
}

EKYCAPIError::EKYCAPIError(int code, std::optional<EKYCHTTPStatusCode> status,
                           std::optional<std::string> message, std::any payload)
    : domain_(domainName),
      code_(code),
      message_(std::move(message)),
      status_(status),
      payload_(std::move(payload)) {
    if (const auto* bytes = std::any_cast<Data>(&payload_)) {
        try {
            const auto envelope =
                JSONDecoder::shared()->decode<EKYCBaseApiResponse<EKYCVoidResponse>>(*bytes);
            message_ = envelope.message;
        } catch (const DecodingError&) {
            // Not an envelope: the given message stands.
        }
    }
    updateDescription();
}

EKYCAPIError::EKYCAPIError(EKYCAPIErrorCode code, std::optional<EKYCHTTPStatusCode> status,
                           std::optional<std::string> message, std::any payload)
    : EKYCAPIError(static_cast<int>(code), status, std::move(message), std::move(payload)) {}

EKYCAPIError::EKYCAPIError(const PlatformError& error)
    : EKYCAPIError(domainName, error.code, error.userInfo) {}

EKYCAPIError::EKYCAPIError(std::string domain, int code, UserInfo userInfo)
    : domain_(std::move(domain)), code_(code), userInfo_(std::move(userInfo)) {
    updateDescription();
}

void EKYCAPIError::setMessage(std::optional<std::string> message) {
    message_ = std::move(message);
    updateDescription();
}

EKYCAPIErrorCode EKYCAPIError::codeType() const {
    return EKYCAPIErrorCodeFromRawValue(code_).value_or(EKYCAPIErrorCode::unknow);
}

std::string EKYCAPIError::localizedDescription() const {
    if (auto it = userInfo_.find(kLocalizedDescriptionKey); it != userInfo_.end()) return it->second;
    return genericDescription(domain_, code_);
}

void EKYCAPIError::updateDescription() {
    description_ = domain_ + " error " + std::to_string(code_);
    if (status_) description_ += " (HTTP " + std::to_string(status_->rawValue()) + ")";
    if (message_) {
        description_ += ": " + *message_;
    } else if (auto it = userInfo_.find(kLocalizedDescriptionKey); it != userInfo_.end()) {
        description_ += ": " + it->second;
    }
}

}  // namespace ovira

#include "api/EKYCVerification.h"

namespace ovira {

EKYCVerification EKYCVerification::decode(const DecodingValue& value) {
    EKYCVerification verification;
    verification.action = value.decodeIfPresent<std::string>("action");
    verification.requestId = value.decodeIfPresent<std::string>("requestId");
    verification.transactionId = value.decodeIfPresent<std::int64_t>("transactionId");
    verification.type = value.decodeIfPresent<std::int64_t>("type");
    return verification;
}

}  // namespace ovira

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ovira/JSONDecoder.h"

namespace ovira {

// The service's answer to an accepted photograph. Nothing in the flow reads
// its values: receiving it is the acceptance.
struct EKYCVerification {
    std::optional<std::string> action;
    std::optional<std::string> requestId;
    std::optional<std::int64_t> transactionId;
    std::optional<std::int64_t> type;

    static EKYCVerification decode(const DecodingValue& value);
};

}  // namespace ovira

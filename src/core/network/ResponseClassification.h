#pragma once

#include <optional>

#include "ovira/Data.h"
#include "ovira/EKYCHTTPStatusCode.h"

namespace ovira {

// What an HTTP answer means to the client, before its body is decoded.
enum class ResponseOutcome {
    success,       // a 2xx status with a body: decode it
    noStatusCode,  // a number that is not one of the known statuses
    noReturnData,  // a known status without a body
    failure,       // any other known status, 1xx included (a final 1xx must not leave the caller waiting)
};

ResponseOutcome classifyResponse(long statusNumber, const std::optional<Data>& body);

}  // namespace ovira

#include "network/ResponseClassification.h"

#include <climits>

namespace ovira {

ResponseOutcome classifyResponse(long statusNumber, const std::optional<Data>& body) {
    if (statusNumber < INT_MIN || statusNumber > INT_MAX) return ResponseOutcome::noStatusCode;
    const auto status = EKYCHTTPStatusCode::fromRawValue(static_cast<int>(statusNumber));
    if (!status) return ResponseOutcome::noStatusCode;
    if (!body) return ResponseOutcome::noReturnData;
    if (status->responseType() != EKYCHTTPStatusCode::ResponseType::success) return ResponseOutcome::failure;
    return ResponseOutcome::success;
}

}  // namespace ovira

#pragma once

#include <optional>

namespace ovira {

/// Client-side failure codes carried by EKYCAPIError::code().
enum class EKYCAPIErrorCode : int {
    urlNil = -900,                  ///< the URL cannot be formed
    httpBodyNil = -901,             ///< reserved, never raised
    indexOutOfBounce = -902,        ///< reserved, never raised
    noStatusCode = -903,            ///< not an HTTP response, or an unknown status number
    noReturnData = -904,            ///< an HTTP response without a body
    decodeReceivedDataFail = -905,  ///< a 2xx body that does not decode into the expected type
    response = -906,                ///< a status outside 2xx
    unknow = -1000,                 ///< anything else
};

/// The code of that number, or nothing.
std::optional<EKYCAPIErrorCode> EKYCAPIErrorCodeFromRawValue(int rawValue);

}  // namespace ovira

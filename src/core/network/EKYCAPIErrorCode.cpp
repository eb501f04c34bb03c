#include "ovira/EKYCAPIErrorCode.h"

namespace ovira {

std::optional<EKYCAPIErrorCode> EKYCAPIErrorCodeFromRawValue(int rawValue) {
    switch (static_cast<EKYCAPIErrorCode>(rawValue)) {
        case EKYCAPIErrorCode::urlNil:
        case EKYCAPIErrorCode::httpBodyNil:
        case EKYCAPIErrorCode::indexOutOfBounce:
        case EKYCAPIErrorCode::noStatusCode:
        case EKYCAPIErrorCode::noReturnData:
        case EKYCAPIErrorCode::decodeReceivedDataFail:
        case EKYCAPIErrorCode::response:
        case EKYCAPIErrorCode::unknow:
            return static_cast<EKYCAPIErrorCode>(rawValue);
    }
    return std::nullopt;
}

}  // namespace ovira

#pragma once

#include <any>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>

#include "ovira/EKYCAPIError.h"
#include "ovira/JSONDecoder.h"

namespace ovira {

/// The payload of an answer that carries none; decodes from any JSON value.
struct EKYCVoidResponse {
    /// Accepts any value.
    static EKYCVoidResponse decode(const DecodingValue&) { return {}; }
};

/// The shape of every answer of the eKYC service: {statusCode, data, message}.
/// statusCode 0 is the service's success marker.
template <class T>
class EKYCBaseApiResponse {
public:
    std::optional<std::int64_t> statusCode;  ///< 0 on success, the service's error code otherwise
    std::optional<T> data;                   ///< the payload
    std::optional<std::string> message;      ///< the service's message, for the user

    /// Members that are absent or null stay absent; a member of the wrong type
    /// fails the whole envelope. Other members are ignored.
    static EKYCBaseApiResponse decode(const DecodingValue& value) {
        EKYCBaseApiResponse envelope;
        envelope.statusCode = value.decodeIfPresent<std::int64_t>("statusCode");
        envelope.data = value.decodeIfPresent<T>("data");
        envelope.message = value.decodeIfPresent<std::string>("message");
        return envelope;
    }

    /// The error a failed envelope becomes: code = statusCode (or -1000),
    /// no status, the envelope's message, the decoded data as payload.
    EKYCAPIError envelopeError() const {
        // A statusCode beyond the range of an error code counts as unknown.
        const bool fits = statusCode && *statusCode >= INT32_MIN && *statusCode <= INT32_MAX;
        const int code = fits ? static_cast<int>(*statusCode) : static_cast<int>(EKYCAPIErrorCode::unknow);
        std::any payload;
        if (data) payload = *data;
        return EKYCAPIError(code, std::nullopt, message, std::move(payload));
    }

    /// Whether statusCode is 0.
    bool isSuccess() const { return statusCode && *statusCode == 0; }

    /// The payload when statusCode is 0 and data is present (for
    /// EKYCVoidResponse, whenever statusCode is 0); throws envelopeError() otherwise.
    T value() const {
        if (isSuccess()) {
            if constexpr (std::is_same_v<T, EKYCVoidResponse>) {
                return EKYCVoidResponse{};
            } else {
                if (data) return *data;
            }
        }
        throw envelopeError();
    }
};

}  // namespace ovira

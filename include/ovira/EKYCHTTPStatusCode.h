#pragma once

#include <array>
#include <optional>
#include <string>

namespace ovira {

/// An HTTP status the library knows by name. Only these 66 numbers form a
/// status code; any other number that comes over the wire is "no status code".
class EKYCHTTPStatusCode {
public:
    /// The known numbers, by name.
    enum Code : int {
        continue_ = 100,  ///< "continue" is a C++ keyword
        switchingProtocols = 101,
        processing = 102,

        ok = 200,
        created = 201,
        accepted = 202,
        nonAuthoritativeInformation = 203,
        noContent = 204,
        resetContent = 205,
        partialContent = 206,
        multiStatus = 207,
        alreadyReported = 208,
        imUsed = 226,

        multipleChoices = 300,
        movedPermanently = 301,
        found = 302,
        seeOther = 303,
        notModified = 304,
        useProxy = 305,
        switchProxy = 306,
        temporaryRedirect = 307,
        permanentRedirect = 308,

        badRequest = 400,
        unauthorized = 401,
        paymentRequired = 402,
        forbidden = 403,
        notFound = 404,
        methodNotAllowed = 405,
        notAcceptable = 406,
        proxyAuthenticationRequired = 407,
        requestTimeout = 408,
        conflict = 409,
        gone = 410,
        lengthRequired = 411,
        preconditionFailed = 412,
        payloadTooLarge = 413,
        uriTooLong = 414,
        unsupportedMediaType = 415,
        rangeNotSatisfiable = 416,
        expectationFailed = 417,
        imATeapot = 418,
        misdirectedRequest = 421,
        unprocessableEntity = 422,
        locked = 423,
        failedDependency = 424,
        upgradeRequired = 426,
        preconditionRequired = 428,
        tooManyRequests = 429,
        requestHeaderFieldsTooLarge = 431,
        noResponse = 444,
        unavailableForLegalReasons = 451,
        sslCertificateError = 495,
        sslCertificateRequired = 496,
        httpRequestSentToHTTPSPort = 497,
        clientClosedRequest = 499,

        internalServerError = 500,
        notImplemented = 501,
        badGateway = 502,
        serviceUnavailable = 503,
        gatewayTimeout = 504,
        httpVersionNotSupported = 505,
        variantAlsoNegotiates = 506,
        insufficientStorage = 507,
        loopDetected = 508,
        notExtended = 510,
        networkAuthenticationRequired = 511,
    };

    /// The class of a status, decided on its number.
    enum class ResponseType : int {
        informational = 0,
        success = 1,
        redirection = 2,
        clientError = 3,
        serverError = 4,
        undefined = 5,
    };

    /// The error domain under which a status travels as an error.
    static constexpr const char* errorDomain = "OVIRA.EKYCHTTPStatusCode";

    /// The status of a known number.
    constexpr EKYCHTTPStatusCode(Code code) : code_(code) {}

    /// One of the 66 known numbers, or nothing.
    static std::optional<EKYCHTTPStatusCode> fromRawValue(int rawValue);
    /// Every known number, in increasing order.
    static const std::array<Code, 66>& allCases();

    /// The number.
    constexpr int rawValue() const { return code_; }
    /// The number, by name.
    constexpr Code code() const { return code_; }
    /// The class of the status.
    ResponseType responseType() const { return responseTypeOf(code_); }

    /// The generic description of the status as an error, e.g.
    /// "The operation couldn’t be completed. (OVIRA.EKYCHTTPStatusCode error 404.)".
    std::string localizedDescription() const;

    /// The class of any number: 100-199 informational ... 500-599 serverError, else undefined.
    static ResponseType responseTypeOf(int number);

    /// Whether the numbers are equal.
    friend constexpr bool operator==(EKYCHTTPStatusCode a, EKYCHTTPStatusCode b) {
        return a.code_ == b.code_;
    }

private:
    Code code_;
};

/// The class of that raw value (0 informational ... 5 undefined), or nothing.
std::optional<EKYCHTTPStatusCode::ResponseType> ResponseTypeFromRawValue(int rawValue);

}  // namespace ovira

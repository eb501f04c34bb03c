#pragma once

#include <any>
#include <exception>
#include <map>
#include <optional>
#include <string>

#include "ovira/EKYCAPIErrorCode.h"
#include "ovira/EKYCHTTPStatusCode.h"

namespace ovira {

using UserInfo = std::map<std::string, std::string>;

// Well-known user-information keys.
inline constexpr const char* kLocalizedDescriptionKey = "NSLocalizedDescription";
inline constexpr const char* kErrorFailingURLStringKey = "NSErrorFailingURLStringKey";

// A transport-level failure: a domain, a numeric code and details. The URL
// loading codes below are the numbers host applications already know from
// mobile platforms (a time-out is -1001 wherever it happens).
struct PlatformError {
    std::string domain;
    int code = 0;
    UserInfo userInfo;

    std::string localizedDescription() const;
};

inline constexpr const char* kURLErrorDomain = "NSURLErrorDomain";

enum class URLErrorCode : int {
    unknown = -1,
    cancelled = -999,
    badURL = -1000,
    timedOut = -1001,
    unsupportedURL = -1002,
    cannotFindHost = -1003,
    cannotConnectToHost = -1004,
    networkConnectionLost = -1005,
    httpTooManyRedirects = -1007,
    resourceUnavailable = -1008,
    notConnectedToInternet = -1009,
    badServerResponse = -1011,
    cannotDecodeContentData = -1016,
    cannotParseResponse = -1017,
    dataLengthExceedsMaximum = -1103,
    secureConnectionFailed = -1200,
    serverCertificateHasBadDate = -1201,
    serverCertificateUntrusted = -1202,
    serverCertificateHasUnknownRoot = -1203,
    serverCertificateNotYetValid = -1204,
    clientCertificateRejected = -1205,
    cannotLoadFromNetwork = -2000,
};

// The one error object of the library: every failure of a request becomes
// one. View models look at status() (401 ends the session) and message().
class EKYCAPIError : public std::exception {
public:
    static constexpr const char* domainName = "ai.qorix.sdk";

    // The main constructor. When the payload holds response bytes (ovira::Data)
    // that decode as the service's envelope, the envelope's "message" replaces
    // the given message, even when the envelope carries none.
    explicit EKYCAPIError(int code, std::optional<EKYCHTTPStatusCode> status = std::nullopt,
                          std::optional<std::string> message = std::nullopt, std::any payload = {});
    EKYCAPIError(EKYCAPIErrorCode code, std::optional<EKYCHTTPStatusCode> status = std::nullopt,
                 std::optional<std::string> message = std::nullopt, std::any payload = {});

    // From a transport failure: domain "ai.qorix.sdk", the failure's own code
    // and user information.
    explicit EKYCAPIError(const PlatformError& error);

    // The plain error constructor: the three fields start absent.
    EKYCAPIError(std::string domain, int code, UserInfo userInfo);

    const std::string& domain() const { return domain_; }
    int code() const { return code_; }
    const UserInfo& userInfo() const { return userInfo_; }

    const std::optional<std::string>& message() const { return message_; }
    void setMessage(std::optional<std::string> message);
    const std::optional<EKYCHTTPStatusCode>& status() const { return status_; }
    const std::any& payload() const { return payload_; }

    // The code as an EKYCAPIErrorCode; unknow for any other number.
    EKYCAPIErrorCode codeType() const;

    // The user-information description when there is one, otherwise the
    // generic "The operation couldn’t be completed. (<domain> error <code>.)".
    std::string localizedDescription() const;

    // Domain, code, status and message in one line, for logs and diagnostics.
    const char* what() const noexcept override { return description_.c_str(); }

private:
    void updateDescription();

    std::string domain_;
    int code_;
    UserInfo userInfo_;
    std::optional<std::string> message_;
    std::optional<EKYCHTTPStatusCode> status_;
    std::any payload_;
    std::string description_;
};

}  // namespace ovira

#pragma once

#include <any>
#include <exception>
#include <map>
#include <optional>
#include <string>

#include "ovira/EKYCAPIErrorCode.h"
#include "ovira/EKYCHTTPStatusCode.h"

namespace ovira {

/// The details of an error, by key (kLocalizedDescriptionKey, ...).
using UserInfo = std::map<std::string, std::string>;

/// The user-information key of a description for people.
inline constexpr const char* kLocalizedDescriptionKey = "NSLocalizedDescription";
/// The user-information key of the URL of a failed request.
inline constexpr const char* kErrorFailingURLStringKey = "NSErrorFailingURLStringKey";

/// A transport-level failure: a domain, a numeric code and details. The URL
/// loading codes below are the numbers host applications already know from
/// mobile platforms (a time-out is -1001 wherever it happens).
struct PlatformError {
    std::string domain;  ///< kURLErrorDomain for the URL loading codes
    int code = 0;        ///< a URLErrorCode for the URL loading codes
    UserInfo userInfo;   ///< details: a description, the failing URL

    /// The user-information description, or a generic one naming domain and code.
    std::string localizedDescription() const;
};

/// The domain of the URL loading codes (URLErrorCode).
inline constexpr const char* kURLErrorDomain = "NSURLErrorDomain";

/// Why a request failed before an HTTP answer came, by its well-known number.
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

/// The one error object of the library: every failure of a request becomes
/// one. View models look at status() (401 ends the session) and message().
class EKYCAPIError : public std::exception {
public:
    /// The domain of the library's errors.
    static constexpr const char* domainName = "ai.qorix.sdk";

    /// The main constructor. When the payload holds response bytes (ovira::Data)
    /// that decode as the service's envelope, the envelope's "message" replaces
    /// the given message, even when the envelope carries none.
    explicit EKYCAPIError(int code, std::optional<EKYCHTTPStatusCode> status = std::nullopt,
                          std::optional<std::string> message = std::nullopt, std::any payload = {});
    /// The same with one of the client's own codes.
    EKYCAPIError(EKYCAPIErrorCode code, std::optional<EKYCHTTPStatusCode> status = std::nullopt,
                 std::optional<std::string> message = std::nullopt, std::any payload = {});

    /// From a transport failure: domain "ai.qorix.sdk", the failure's own code
    /// and user information.
    explicit EKYCAPIError(const PlatformError& error);

    /// The plain error constructor: the three fields start absent.
    EKYCAPIError(std::string domain, int code, UserInfo userInfo);

    /// domainName, or the domain given to the plain constructor.
    const std::string& domain() const { return domain_; }
    /// The service's statusCode, an EKYCAPIErrorCode, or a transport failure's code.
    int code() const { return code_; }
    /// Details of a transport failure.
    const UserInfo& userInfo() const { return userInfo_; }

    /// The message to show the user: the service's own when it sent one.
    const std::optional<std::string>& message() const { return message_; }
    /// Replaces the message.
    void setMessage(std::optional<std::string> message);
    /// The HTTP status of a non-2xx answer; 401 ends the session.
    const std::optional<EKYCHTTPStatusCode>& status() const { return status_; }
    /// What came with the failure: the response's bytes or the envelope's decoded data.
    const std::any& payload() const { return payload_; }

    /// The code as an EKYCAPIErrorCode; unknow for any other number.
    EKYCAPIErrorCode codeType() const;

    /// The user-information description when there is one, otherwise the
    /// generic "The operation couldn’t be completed. (<domain> error <code>.)".
    std::string localizedDescription() const;

    /// Domain, code, status and message in one line, for logs and diagnostics.
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

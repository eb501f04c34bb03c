#include "ovira/EKYCHTTPStatusCode.h"

#include <algorithm>

namespace ovira {
namespace {
using C = EKYCHTTPStatusCode::Code;
constexpr std::array<C, 66> kAllCases{
    C::continue_,
    C::switchingProtocols,
    C::processing,
    C::ok,
    C::created,
    C::accepted,
    C::nonAuthoritativeInformation,
    C::noContent,
    C::resetContent,
    C::partialContent,
    C::multiStatus,
    C::alreadyReported,
    C::imUsed,
    C::multipleChoices,
    C::movedPermanently,
    C::found,
    C::seeOther,
    C::notModified,
    C::useProxy,
    C::switchProxy,
    C::temporaryRedirect,
    C::permanentRedirect,
    C::badRequest,
    C::unauthorized,
    C::paymentRequired,
    C::forbidden,
    C::notFound,
    C::methodNotAllowed,
    C::notAcceptable,
    C::proxyAuthenticationRequired,
    C::requestTimeout,
    C::conflict,
    C::gone,
    C::lengthRequired,
    C::preconditionFailed,
    C::payloadTooLarge,
    C::uriTooLong,
    C::unsupportedMediaType,
    C::rangeNotSatisfiable,
    C::expectationFailed,
    C::imATeapot,
    C::misdirectedRequest,
    C::unprocessableEntity,
    C::locked,
    C::failedDependency,
    C::upgradeRequired,
    C::preconditionRequired,
    C::tooManyRequests,
    C::requestHeaderFieldsTooLarge,
    C::noResponse,
    C::unavailableForLegalReasons,
    C::sslCertificateError,
    C::sslCertificateRequired,
    C::httpRequestSentToHTTPSPort,
    C::clientClosedRequest,
    C::internalServerError,
    C::notImplemented,
    C::badGateway,
    C::serviceUnavailable,
    C::gatewayTimeout,
    C::httpVersionNotSupported,
    C::variantAlsoNegotiates,
    C::insufficientStorage,
    C::loopDetected,
    C::notExtended,
    C::networkAuthenticationRequired,
};
}  // namespace

const std::array<EKYCHTTPStatusCode::Code, 66>& EKYCHTTPStatusCode::allCases() {
    return kAllCases;
}

std::optional<EKYCHTTPStatusCode> EKYCHTTPStatusCode::fromRawValue(int rawValue) {
    const auto it = std::find(kAllCases.begin(), kAllCases.end(), static_cast<C>(rawValue));
    if (it == kAllCases.end()) return std::nullopt;
    return EKYCHTTPStatusCode(*it);
}

EKYCHTTPStatusCode::ResponseType EKYCHTTPStatusCode::responseTypeOf(int number) {
    if (number >= 100 && number <= 199) return ResponseType::informational;
    if (number >= 200 && number <= 299) return ResponseType::success;
    if (number >= 300 && number <= 399) return ResponseType::redirection;
    if (number >= 400 && number <= 499) return ResponseType::clientError;
    if (number >= 500 && number <= 599) return ResponseType::serverError;
    return ResponseType::undefined;
}

std::string EKYCHTTPStatusCode::localizedDescription() const {
    return std::string("The operation couldn\u2019t be completed. (") + errorDomain + " error " +
           std::to_string(rawValue()) + ".)";
}

std::optional<EKYCHTTPStatusCode::ResponseType> ResponseTypeFromRawValue(int rawValue) {
    if (rawValue < 0 || rawValue > 5) return std::nullopt;
    return static_cast<EKYCHTTPStatusCode::ResponseType>(rawValue);
}

}  // namespace ovira

#include "ovira/EKYCHTTPClient.h"

#include <curl/curl.h>

#include <chrono>
#include <cmath>
#include <mutex>

#include "network/CurlSession.h"
#include "network/ResponseClassification.h"

namespace ovira {
namespace {

constexpr const char* kWarningMark = "\u26A0\uFE0F";

std::string percentEncode(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            encoded += static_cast<char>(c);
        } else {
            // "+" too: a plus must reach the server as a plus, not as a space.
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 0x0F];
        }
    }
    return encoded;
}

bool parsesAsURL(const std::string& text) {
    CURLU* url = curl_url();
    if (!url) return false;
    const CURLUcode code =
        curl_url_set(url, CURLUPART_URL, text.c_str(), CURLU_NON_SUPPORT_SCHEME | CURLU_PATH_AS_IS);
    curl_url_cleanup(url);
    return code == CURLUE_OK;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::mutex& sharedMutex() {
    static auto* mutex = new std::mutex;  // never destroyed, like the client below
    return *mutex;
}

std::shared_ptr<EKYCHTTPClient>& sharedClient() {
    // Never destroyed: requests still running at exit use it.
    static auto* client = new std::shared_ptr<EKYCHTTPClient>;
    return *client;
}

}  // namespace

struct EKYCHTTPClient::Transport {
    explicit Transport(const Configuration& configuration) : session(configuration) {}
    CurlSession session;
};

std::string HTTPParameterValue::description() const {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
    return logDescription(std::get<double>(value));
}

std::optional<std::string> EKYCHTTPClient::Response::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (equalsNoCase(key, name)) return value;
    }
    return std::nullopt;
}

EKYCHTTPClient::EKYCHTTPClient(Configuration configuration)
    : configuration_(std::move(configuration)),
      logger_("[Networking]", EKYCLogger::Subsystem::networking),
      transport_(std::make_unique<Transport>(configuration_)) {}

EKYCHTTPClient::~EKYCHTTPClient() = default;

std::shared_ptr<EKYCHTTPClient> EKYCHTTPClient::shared() {
    std::lock_guard lock(sharedMutex());
    auto& client = sharedClient();
    if (!client) client = std::make_shared<EKYCHTTPClient>(Configuration::defaultConfiguration());
    return client;
}

void EKYCHTTPClient::setShared(std::shared_ptr<EKYCHTTPClient> client) {
    std::lock_guard lock(sharedMutex());
    sharedClient() = std::move(client);
}

long EKYCHTTPClient::connectionsOpened() const {
    return transport_->session.connectionsOpened();
}

EKYCHTTPRequest EKYCHTTPClient::makeRequest(const std::string& url, const std::optional<std::string>& path,
                                            const HTTPHeaders& headers, const HTTPParameters& params,
                                            EKYCHTTPMethod method) const {
    const std::string joined = url + path.value_or("");
    if (!parsesAsURL(joined)) throw EKYCAPIError(EKYCAPIErrorCode::urlNil);

    // The query is always replaced by the parameters, even when there are none.
    const auto fragmentStart = joined.find('#');
    const auto queryStart = joined.find('?');
    const std::string base = joined.substr(0, std::min(fragmentStart, queryStart));
    std::string query;
    for (const auto& [name, value] : params) {
        if (!query.empty()) query += '&';
        query += percentEncode(name) + "=" + percentEncode(value.description());
    }
    EKYCHTTPRequest request;
    request.url = base + "?" + query;
    if (fragmentStart != std::string::npos) request.url += joined.substr(fragmentStart);
    if (!parsesAsURL(request.url)) throw EKYCAPIError(EKYCAPIErrorCode::urlNil);
    request.method = std::string(rawValue(method));
    request.headers = headers;
    request.timeoutInterval = configuration_.timeoutInterval;
    request.totalTimeoutInterval = configuration_.totalTimeoutInterval;
    return request;
}

void EKYCHTTPClient::setJSONBody(EKYCHTTPRequest& request, Data body) {
    request.body = std::move(body);
    // Added to, not replacing, a type the caller gave.
    auto it = request.headers.begin();
    for (; it != request.headers.end(); ++it) {
        if (equalsNoCase(it->first, "Content-Type")) break;
    }
    if (it == request.headers.end())
        request.headers["Content-Type"] = "application/json";
    else
        it->second += ",application/json";
}

void EKYCHTTPClient::setMultipartBody(EKYCHTTPRequest& request, const MultipartForms& parts) {
    EKYCMultipartFormDataBuilder builder(parts);
    request.body = builder.build();
    request.headers["Content-Type"] = "multipart/form-data; boundary=" + builder.boundary();
    request.headers["Content-Length"] = std::to_string(request.body->size());
}

EKYCHTTPClient::Response EKYCHTTPClient::execute(const EKYCHTTPRequest& request) const {
    const bool full = configuration_.logsFullBodies;
    const auto describeBody = [full](const Data& body) -> std::string {
        if (!full) return "<" + std::to_string(body.size()) + " bytes>";
        return utf8String(body).value_or("");
    };

    const auto start = std::chrono::steady_clock::now();
    logger_.log("Method:", request.method, "-", request.url);
    HTTPHeaders loggedHeaders = request.headers;
    if (!full) {
        // Only the headers that describe the request's form are shown; the
        // session, the application's identifier and anything else a caller
        // adds may identify someone. An empty value hides nothing and tells
        // a developer what is missing.
        for (auto& [name, value] : loggedHeaders) {
            const bool form = equalsNoCase(name, "language") || equalsNoCase(name, "Content-Type") ||
                              equalsNoCase(name, "Content-Length");
            if (!form && !value.empty()) value = "<masked>";
        }
    }
    logger_.log("Headers:", loggedHeaders);
    if (request.body) logger_.log("Body:", describeBody(*request.body));

    TransportResult result = transport_->session.perform(request);

    const double elapsed = static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                   std::chrono::steady_clock::now() - start)
                                                   .count()) /
                           1'000'000.0;
    logger_.log(
        "Response time:", elapsed > configuration_.slowResponseThresholdMilliseconds ? kWarningMark : "",
        logDescription(std::round(elapsed)) + " ms", "-", request.url);

    if (result.error) {
        logger_.log("Error", request.url, result.error->localizedDescription());
        throw EKYCAPIError(*result.error);
    }

    std::optional<Data> body = std::move(result.body);
    switch (classifyResponse(result.statusNumber, body)) {
        case ResponseOutcome::noStatusCode: {
            logger_.log("Error", request.url,
                        "<response: status " + std::to_string(result.statusNumber) + ">");
            std::any payload;
            if (body) payload = *body;
            throw EKYCAPIError(EKYCAPIErrorCode::noStatusCode, std::nullopt, std::nullopt,
                               std::move(payload));
        }
        case ResponseOutcome::noReturnData: {
            const auto status = *EKYCHTTPStatusCode::fromRawValue(static_cast<int>(result.statusNumber));
            logger_.log("Error", request.url, status.localizedDescription(), "- noReturnData");
            throw EKYCAPIError(EKYCAPIErrorCode::noReturnData, status);
        }
        case ResponseOutcome::failure:
        case ResponseOutcome::success:
            break;
    }

    const auto status = *EKYCHTTPStatusCode::fromRawValue(static_cast<int>(result.statusNumber));
    if (utf8String(*body)) logger_.log("Response body:", describeBody(*body));
    if (status.responseType() != EKYCHTTPStatusCode::ResponseType::success) {
        logger_.log("Error", request.url, status.localizedDescription(), describeBody(*body));
        throw EKYCAPIError(EKYCAPIErrorCode::response, status, std::nullopt, std::move(*body));
    }
    return Response{status, std::move(result.headers), std::move(*body), request.url};
}

std::optional<std::string> EKYCHTTPClient::plainTextBody(const Response& response) {
    const auto contentType = response.header("Content-Type");
    if (!contentType || contentType->rfind("text/plain", 0) != 0) return std::nullopt;
    return utf8String(response.body);
}

EKYCAPIError EKYCHTTPClient::decodingFailure(const Response& response, const DecodingError& error) const {
    logger_.log("Error", response.url, "- decodeReceivedDataFail: ",
                configuration_.logsFullBodies ? std::string(error.what()) : error.redactedDescription());
    return EKYCAPIError(EKYCAPIErrorCode::decodeReceivedDataFail, response.status, std::nullopt,
                        response.body);
}

}  // namespace ovira

#include "network/CurlSession.h"

#include <curl/curl.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <optional>

namespace ovira {
namespace {

// Idle connections one client keeps for reuse: more than the threads that
// share a client at once (the capture thread and the screens' workers).
constexpr long kMaxCachedConnections = 32;
// What one answer's header section may hold: far more than any service
// sends, little enough that a hostile server cannot grow the client's memory
// with headers (libcurl keeps a line of up to 100 KiB on its own).
constexpr std::size_t kMaxHeaderCount = 200;
constexpr std::size_t kMaxHeaderBytes = 256 * 1024;  // over all responses of the exchange, 1xx included

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

PlatformError urlError(URLErrorCode code, const std::string& description, const std::string& url,
                       const std::string& detail = {}) {
    PlatformError error{kURLErrorDomain, static_cast<int>(code), {}};
    error.userInfo[kLocalizedDescriptionKey] = description;
    error.userInfo[kErrorFailingURLStringKey] = url;
    if (!detail.empty()) error.userInfo["NSUnderlyingError"] = detail;
    return error;
}

struct Exchange {
    Data body;
    HTTPHeaders headers;
    std::size_t limit = 0;
    bool exceededLimit = false;
    // Headers of the response under way, counted against the caps.
    std::size_t headerCount = 0;
    std::size_t headerBytes = 0;
    // Why the answer is refused as malformed (a fixed text, never its bytes).
    const char* malformed = nullptr;
    // How the final response's body ends: HTTP/1 without a length or chunks
    // means "when the connection closes", which a cut connection imitates.
    bool http1 = false;
    bool framed = false;

    // The total deadline: the exchange ends when it is reached, however
    // steadily bytes still move.
    std::optional<std::chrono::steady_clock::time_point> deadline;
    bool missedDeadline = false;

    // The idle time-out: when anything last moved (the connection made, a
    // byte sent or received), and how long nothing may move.
    std::chrono::steady_clock::time_point lastProgress = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration idleLimit{};
    curl_off_t moved = 0;
    bool wentIdle = false;

    void progressed() { lastProgress = std::chrono::steady_clock::now(); }
};

// libcurl's own low-speed check averages over its last five seconds, so a
// request whose body went out just before the server fell silent would
// wait up to five seconds longer than the time-out; this one counts from
// the last byte.
int checkProgress(void* context, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent) {
    auto* exchange = static_cast<Exchange*>(context);
    if (exchange->deadline && std::chrono::steady_clock::now() >= *exchange->deadline) {
        exchange->missedDeadline = true;
        return 1;
    }
    if (received + sent != exchange->moved) {
        exchange->moved = received + sent;
        exchange->progressed();
    } else if (std::chrono::steady_clock::now() - exchange->lastProgress >= exchange->idleLimit) {
        exchange->wentIdle = true;
        return 1;  // ends the transfer
    }
    return 0;
}

int connectionReady(void* context, char*, char*, int, int) {
    static_cast<Exchange*>(context)->progressed();
    return CURL_PREREQFUNC_OK;
}

size_t writeBody(char* data, size_t size, size_t count, void* context) {
    auto* exchange = static_cast<Exchange*>(context);
    const size_t length = size * count;
    exchange->progressed();
    if (exchange->body.size() + length > exchange->limit) {
        exchange->exceededLimit = true;
        return 0;  // ends the transfer
    }
    exchange->body.insert(exchange->body.end(), data, data + length);
    return length;
}

// Ends the transfer, the answer refused as malformed for `reason`.
size_t refuse(Exchange* exchange, const char* reason) {
    exchange->malformed = reason;
    return 0;
}

// The value of header `name` in the response under way, if it came.
const std::string* findHeader(const HTTPHeaders& headers, std::string_view name) {
    for (const auto& [key, value] : headers)
        if (key.size() == name.size() && startsWithNoCase(key, name)) return &value;
    return nullptr;
}

size_t writeHeader(char* data, size_t size, size_t count, void* context) {
    auto* exchange = static_cast<Exchange*>(context);
    const size_t length = size * count;
    exchange->progressed();
    exchange->headerBytes += length;
    if (exchange->headerBytes > kMaxHeaderBytes) return refuse(exchange, "the response headers are too large");
    std::string_view line(data, length);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (startsWithNoCase(line, "HTTP/")) {
        exchange->headers.clear();  // a new (possibly final) response begins
        exchange->headerCount = 0;
        exchange->http1 = startsWithNoCase(line, "HTTP/1.");
        exchange->framed = false;
    } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
        if (++exchange->headerCount > kMaxHeaderCount) return refuse(exchange, "the response has too many headers");
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
        const std::string_view name = line.substr(0, colon);
        if (!isValidHeaderName(name)) return refuse(exchange, "a response header has a malformed name");
        for (const char c : value)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
                return refuse(exchange, "a response header holds control characters");
        // Framing must be unambiguous: one length, and not both a length and chunks.
        const bool isLength = name.size() == 14 && startsWithNoCase(name, "Content-Length");
        const bool isEncoding = name.size() == 17 && startsWithNoCase(name, "Transfer-Encoding");
        if (const std::string* known = findHeader(exchange->headers, "Content-Length");
            isLength && known && *known != value)
            return refuse(exchange, "the response has conflicting Content-Length headers");
        if ((isLength && findHeader(exchange->headers, "Transfer-Encoding")) ||
            (isEncoding && findHeader(exchange->headers, "Content-Length")))
            return refuse(exchange, "the response has both Content-Length and Transfer-Encoding");
        if (isLength || (isEncoding && value.find("chunked") != std::string_view::npos)) exchange->framed = true;
        auto [it, inserted] = exchange->headers.emplace(std::string(name), std::string(value));
        if (!inserted && !isLength) it->second += ", " + std::string(value);
    } else if (!line.empty()) {
        return refuse(exchange, "a response header line has no colon");
    }
    return length;
}

PlatformError transportError(CURLcode code, CURL* handle, const Exchange& exchange, const std::string& url,
                             const char* detail) {
    const std::string underlying =
        "curl error " + std::to_string(code) + ": " + (detail && *detail ? detail : curl_easy_strerror(code));
    if (exchange.missedDeadline) {
        return urlError(URLErrorCode::timedOut, "The request timed out.", url,
                        "the exchange took longer than the total time-out");
    }
    if (exchange.wentIdle) {
        return urlError(URLErrorCode::timedOut, "The request timed out.", url,
                        "no byte moved for longer than the time-out");
    }
    if (exchange.malformed) {
        return urlError(URLErrorCode::badServerResponse, "The server returned a malformed response.", url,
                        exchange.malformed);
    }
    // Errors that, once the request has gone out, mean that the answer is
    // malformed: libcurl's refusal of an overlong status or header line
    // (reported as out of memory), and of a reply that is not HTTP at all
    // (taken for HTTP/0.9, which is not allowed).
    curl_off_t sentAt = 0;
    curl_easy_getinfo(handle, CURLINFO_PRETRANSFER_TIME_T, &sentAt);
    if ((code == CURLE_OUT_OF_MEMORY || code == CURLE_UNSUPPORTED_PROTOCOL) && sentAt > 0) {
        return urlError(URLErrorCode::badServerResponse, "The server returned a malformed response.", url,
                        underlying);
    }
    if (exchange.exceededLimit || code == CURLE_FILESIZE_EXCEEDED) {
        return urlError(URLErrorCode::dataLengthExceedsMaximum,
                        "The response exceeds the maximum allowed size.", url, underlying);
    }
    switch (code) {
        case CURLE_OPERATION_TIMEDOUT:
            return urlError(URLErrorCode::timedOut, "The request timed out.", url, underlying);
        case CURLE_COULDNT_RESOLVE_HOST:
            return urlError(URLErrorCode::cannotFindHost,
                            "A server with the specified hostname could not be found.", url, underlying);
        case CURLE_COULDNT_CONNECT:
            return urlError(URLErrorCode::cannotConnectToHost, "Could not connect to the server.", url,
                            underlying);
        case CURLE_UNSUPPORTED_PROTOCOL:
            return urlError(URLErrorCode::unsupportedURL, "unsupported URL", url, underlying);
        case CURLE_URL_MALFORMAT:
            return urlError(URLErrorCode::badURL, "bad URL", url, underlying);
        case CURLE_PEER_FAILED_VERIFICATION: {
            long result = 0;
            curl_easy_getinfo(handle, CURLINFO_SSL_VERIFYRESULT, &result);
            if (result == 10 /* X509_V_ERR_CERT_HAS_EXPIRED */) {
                return urlError(URLErrorCode::serverCertificateHasBadDate,
                                "The certificate for this server has expired.", url, underlying);
            }
            if (result == 9 /* X509_V_ERR_CERT_NOT_YET_VALID */) {
                return urlError(URLErrorCode::serverCertificateNotYetValid,
                                "The certificate for this server is not yet valid.", url, underlying);
            }
            return urlError(URLErrorCode::serverCertificateUntrusted,
                            "The certificate for this server is invalid.", url, underlying);
        }
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
            return urlError(URLErrorCode::serverCertificateUntrusted,
                            "The server's public key does not match a pinned key.", url, underlying);
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ENGINE_INITFAILED:
            return urlError(URLErrorCode::secureConnectionFailed,
                            "A TLS error occurred and a secure connection to the server cannot be made.", url,
                            underlying);
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
            return urlError(URLErrorCode::networkConnectionLost, "The network connection was lost.", url,
                            underlying);
        case CURLE_BAD_CONTENT_ENCODING:
            return urlError(URLErrorCode::cannotDecodeContentData, "cannot decode raw data", url, underlying);
        case CURLE_WEIRD_SERVER_REPLY:
            return urlError(URLErrorCode::badServerResponse, "The server returned a malformed response.", url,
                            underlying);
        case CURLE_TOO_MANY_REDIRECTS:
            return urlError(URLErrorCode::httpTooManyRedirects, "too many HTTP redirects", url, underlying);
        default:
            return urlError(URLErrorCode::unknown, "An unknown error occurred.", url, underlying);
    }
}

}  // namespace

bool isValidHeaderName(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name) {
        const bool token = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
        if (!token) return false;
    }
    return true;
}

bool isValidHeaderValue(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

struct CurlSession::Shared {
    EKYCHTTPClient::Configuration configuration;
    CURLSH* share = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
    std::string caPath;
    mutable std::atomic<long> connections{0};

    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* context) {
        static_cast<Shared*>(context)->locks[static_cast<std::size_t>(data)].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* context) {
        static_cast<Shared*>(context)->locks[static_cast<std::size_t>(data)].unlock();
    }
};

CurlSession::CurlSession(const EKYCHTTPClient::Configuration& configuration)
    : shared_(std::make_unique<Shared>()) {
    initialiseCurlOnce();
    shared_->configuration = configuration;
    shared_->share = curl_share_init();
    curl_share_setopt(shared_->share, CURLSHOPT_LOCKFUNC, &Shared::lock);
    curl_share_setopt(shared_->share, CURLSHOPT_UNLOCKFUNC, &Shared::unlock);
    curl_share_setopt(shared_->share, CURLSHOPT_USERDATA, shared_.get());
    curl_share_setopt(shared_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    curl_share_setopt(shared_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    curl_share_setopt(shared_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    // An extra CA file is trusted on top of the system's store: the store
    // stays reachable through the hashed certificate folder.
    const auto* info = curl_version_info(CURLVERSION_NOW);
    shared_->caPath = info && info->capath ? info->capath : "/etc/ssl/certs";
}

CurlSession::~CurlSession() {
    if (shared_->share) curl_share_cleanup(shared_->share);
}

long CurlSession::connectionsOpened() const {
    return shared_->connections.load();
}

TransportResult CurlSession::perform(const EKYCHTTPRequest& request) const {
    const auto& configuration = shared_->configuration;
    TransportResult result;

    if (!startsWithNoCase(request.url, "https://")) {
        result.error = urlError(URLErrorCode::unsupportedURL, "unsupported URL", request.url,
                                "only https URLs are sent");
        return result;
    }
    for (const auto& [name, value] : request.headers) {
        if (!isValidHeaderName(name) || !isValidHeaderValue(value)) {
            result.error =
                urlError(URLErrorCode::unknown,
                         "The request header \"" + (isValidHeaderName(name) ? name : std::string("?")) +
                             "\" is malformed; the request was not sent.",
                         request.url);
            return result;
        }
    }

    CURL* handle = curl_easy_init();
    if (!handle) {
        result.error =
            urlError(URLErrorCode::unknown, "The HTTP transport could not be created.", request.url);
        return result;
    }
    Exchange exchange;
    exchange.limit = configuration.maxResponseBytes;
    char errorBuffer[CURL_ERROR_SIZE] = {0};

    curl_easy_setopt(handle, CURLOPT_SHARE, shared_->share);
    curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "OVIRA/1.0");
    curl_easy_setopt(handle, CURLOPT_TCP_KEEPALIVE, 1L);
    // The shared cache keeps only this many idle connections and closes the
    // oldest beyond it; libcurl's default of 5 made threads of one client
    // close each other's connections and handshake again for most exchanges.
    curl_easy_setopt(handle, CURLOPT_MAXCONNECTS, kMaxCachedConnections);
    if (!configuration.additionalCACertificateFile.empty()) {
        curl_easy_setopt(handle, CURLOPT_CAINFO, configuration.additionalCACertificateFile.c_str());
        curl_easy_setopt(handle, CURLOPT_CAPATH, shared_->caPath.c_str());
    }
    std::string pins;
    for (const auto& pin : configuration.pinnedPublicKeys) {
        if (!pins.empty()) pins += ';';
        pins += pin;
    }
    if (!pins.empty()) curl_easy_setopt(handle, CURLOPT_PINNEDPUBLICKEY, pins.c_str());

    // The time-out bounds every stretch without progress, as mobile URL
    // sessions do: connecting, and any period in which no byte moves
    // (checkProgress; libcurl's low-speed check stays as a backstop).
    const double timeout = request.timeoutInterval > 0 ? request.timeoutInterval : 30.0;
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::ceil(timeout * 1000.0)));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, std::max(1L, static_cast<long>(std::ceil(timeout))));
    exchange.idleLimit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(timeout));
    exchange.progressed();
    // The total deadline, checked with the idle time-out; libcurl's own
    // limit stays as a backstop.
    if (request.totalTimeoutInterval > 0) {
        const auto total = std::chrono::duration<double>(request.totalTimeoutInterval);
        exchange.deadline = exchange.lastProgress + std::chrono::duration_cast<std::chrono::steady_clock::duration>(total);
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS,
                         static_cast<long>(std::ceil(request.totalTimeoutInterval * 1000.0)) + 1000L);
    }
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &checkProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, &connectionReady);
    curl_easy_setopt(handle, CURLOPT_PREREQDATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(configuration.maxResponseBytes));

    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &writeHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &exchange);

    const std::string& method = request.method;
    const bool hasBody = request.body.has_value();
    if (method == "HEAD") {
        curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    } else if (method == "POST" || hasBody) {
        static const char empty = 0;
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS,
                         hasBody ? reinterpret_cast<const char*>(request.body->data()) : &empty);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(hasBody ? request.body->size() : 0));
        if (method != "POST") curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, method.c_str());
    } else if (method != "GET") {
        curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, method.c_str());
    }

    curl_slist* headers = nullptr;
    bool hasContentType = false;
    for (const auto& [name, value] : request.headers) {
        if (startsWithNoCase(name, "Content-Type") && name.size() == 12) hasContentType = true;
        // "Name;" sends a header with an empty value ("Name:" would remove it).
        const std::string line = value.empty() ? name + ";" : name + ": " + value;
        headers = curl_slist_append(headers, line.c_str());
    }
    // No body type is invented for a body-less POST; no 100-continue round trip.
    if (!hasContentType) headers = curl_slist_append(headers, "Content-Type:");
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);

    const CURLcode code = curl_easy_perform(handle);
    long connects = 0;
    curl_easy_getinfo(handle, CURLINFO_NUM_CONNECTS, &connects);
    shared_->connections += connects;

    if (code == CURLE_OK) curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.statusNumber);
    // A body that ends where the connection ended cannot be told from a
    // connection cut mid-body (libcurl does not insist on TLS's close_notify),
    // so it is not taken as a whole answer.
    const bool bodyless = method == "HEAD" || result.statusNumber == 204 || result.statusNumber == 304;
    if (code == CURLE_OK && exchange.http1 && !exchange.framed && !bodyless) {
        result.statusNumber = 0;
        result.error = urlError(URLErrorCode::networkConnectionLost, "The network connection was lost.",
                                request.url, "the response has no length and is not chunked");
    } else if (code != CURLE_OK) {
        result.error = transportError(code, handle, exchange, request.url, errorBuffer);
    } else {
        result.headers = std::move(exchange.headers);
        result.body = std::move(exchange.body);
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(handle);
    return result;
}

}  // namespace ovira

#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ovira/EKYCAPIError.h"
#include "ovira/EKYCHTTPClient.h"

namespace ovira {

// What the transport brings back from one exchange: a transport failure, or
// the final status line, headers and body.
struct TransportResult {
    std::optional<PlatformError> error;
    long statusNumber = 0;
    HTTPHeaders headers;
    Data body;
};

// The libcurl side of the HTTP client: sends one request at a time per
// calling thread, with connections, TLS sessions and DNS answers shared by
// every exchange of the session. Verification is always on; only https is
// spoken; redirects are not followed.
class CurlSession {
public:
    explicit CurlSession(const EKYCHTTPClient::Configuration& configuration);
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    TransportResult perform(const EKYCHTTPRequest& request) const;

    // Connections opened so far (for diagnostics and benchmarks).
    long connectionsOpened() const;

private:
    struct Shared;
    std::unique_ptr<Shared> shared_;
};

// A header name is an HTTP token and a value holds no line break or NUL:
// anything else would let a caller smuggle extra header lines.
bool isValidHeaderName(std::string_view name);
bool isValidHeaderValue(std::string_view value);

}  // namespace ovira

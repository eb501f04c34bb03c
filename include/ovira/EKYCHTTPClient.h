#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "ovira/CodingErrors.h"
#include "ovira/Data.h"
#include "ovira/EKYCAPIError.h"
#include "ovira/EKYCHTTPMethod.h"
#include "ovira/EKYCHTTPStatusCode.h"
#include "ovira/EKYCLogger.h"
#include "ovira/JSONDecoder.h"
#include "ovira/JSONEncoder.h"
#include "ovira/MultipartFormData.h"

namespace ovira {

/// Request or response headers by name.
using HTTPHeaders = std::map<std::string, std::string>;

/// A query parameter's value, written as text: integers in decimal, text unchanged.
struct HTTPParameterValue {
    std::variant<std::string, std::int64_t, double, bool> value;  ///< the value as given

    ///@{
    /// From any of the kinds of values a query takes.
    HTTPParameterValue(std::string text) : value(std::move(text)) {}
    HTTPParameterValue(const char* text) : value(std::string(text)) {}
    HTTPParameterValue(int number) : value(static_cast<std::int64_t>(number)) {}
    HTTPParameterValue(std::int64_t number) : value(number) {}
    HTTPParameterValue(double number) : value(number) {}
    HTTPParameterValue(bool flag) : value(flag) {}
    ///@}

    /// The value as it goes into the query (before percent-encoding).
    std::string description() const;
};
/// Query parameters by name.
using HTTPParameters = std::map<std::string, HTTPParameterValue>;

/// One request as it goes out.
struct EKYCHTTPRequest {
    std::string method;             ///< "GET", "POST", ...
    std::string url;                ///< the whole URL, query included
    HTTPHeaders headers;            ///< the headers sent
    std::optional<Data> body;       ///< the body, if any
    double timeoutInterval = 30.0;  ///< seconds without progress before the request fails
    /// Seconds the whole exchange may take, however steadily bytes move
    /// (0: no limit); past it the request fails with a time-out.
    double totalTimeoutInterval = 120.0;
};

/// Sends one request at a time to the eKYC service over HTTPS and turns the
/// answer into a decoded value or an EKYCAPIError. Every call blocks its
/// calling thread until the exchange is over (never call it on the GUI thread);
/// any number of threads may call one client at once. Connections are kept and
/// reused across calls.
///
/// Only https URLs are sent. Certificates and host names are always verified;
/// redirects are never followed (a 3xx is an error like any other non-2xx).
class EKYCHTTPClient {
public:
    /// How a client connects, trusts and logs.
    struct Configuration {
        /// Seconds without progress (connecting, sending or receiving) before
        /// a request fails with a time-out.
        double timeoutInterval = 30.0;
        /// Seconds one whole exchange may take, from the first connection
        /// attempt to the last byte of the answer, before it fails with a
        /// time-out even while bytes still trickle in (0: no limit).
        double totalTimeoutInterval = 120.0;
        /// A PEM file of certificates to trust in addition to the system's.
        std::string additionalCACertificateFile;
        /// Accepted server public keys, "sha256//<base64>" each; when not
        /// empty, a server whose key is not listed is refused.
        std::vector<std::string> pinnedPublicKeys;
        /// Larger bodies end the exchange with dataLengthExceedsMaximum (-1103);
        /// a compressed body counts with its decompressed size.
        std::size_t maxResponseBytes = 16u * 1024u * 1024u;
        /// Bodies, header values other than "language", "Content-Type" and
        /// "Content-Length" (the session, the application identifier) and
        /// decoding details are kept out of the log unless this is set (for
        /// development only).
        bool logsFullBodies = false;
        /// Responses slower than this get a warning mark in the log.
        double slowResponseThresholdMilliseconds = 1500.0;

        /// Every member at its default.
        static Configuration defaultConfiguration() { return {}; }
    };

    /// A client with its own connections.
    explicit EKYCHTTPClient(Configuration configuration);
    ~EKYCHTTPClient();
    EKYCHTTPClient(const EKYCHTTPClient&) = delete;
    EKYCHTTPClient& operator=(const EKYCHTTPClient&) = delete;

    /// The process-wide client the repository uses, created on first use with
    /// the default configuration. Replaceable (for instance with a client that
    /// trusts a development CA); calls already running keep the old client.
    static std::shared_ptr<EKYCHTTPClient> shared();
    /// Replaces the process-wide client (see shared()).
    static void setShared(std::shared_ptr<EKYCHTTPClient> client);

    /// The configuration the client was made with.
    const Configuration& configuration() const { return configuration_; }
    /// Connections this client has opened so far (they are reused across calls).
    long connectionsOpened() const;
    /// Where the client logs its exchanges.
    const EKYCLogger& logger() const { return logger_; }

    /// A request without a body.
    template <class T>
    T dataTask(const std::string& url, const std::optional<std::string>& path, const HTTPHeaders& headers,
               const HTTPParameters& params, EKYCHTTPMethod method, const JSONDecoder& decoder) const {
        EKYCHTTPRequest request = makeRequest(url, path, headers, params, method);
        return decodeResponse<T>(execute(request), decoder);
    }

    /// A request with an optional JSON body; "application/json" is added to
    /// the request's Content-Type.
    template <class T, class Body>
    T dataTask(const std::string& url, const std::optional<std::string>& path, const HTTPHeaders& headers,
               const HTTPParameters& params, const std::optional<Body>& body, EKYCHTTPMethod method,
               const JSONEncoder& encoder, const JSONDecoder& decoder) const {
        EKYCHTTPRequest request = makeRequest(url, path, headers, params, method);
        if (body) setJSONBody(request, encoder.encode(*body));
        return decodeResponse<T>(execute(request), decoder);
    }

    /// A request with an optional multipart/form-data body (none when the list
    /// is absent or empty).
    template <class T>
    T multipartDataTask(const std::string& url, const std::optional<std::string>& path,
                        const HTTPHeaders& headers, const HTTPParameters& params,
                        const std::optional<MultipartForms>& multiparts, EKYCHTTPMethod method,
                        const JSONDecoder& decoder) const {
        EKYCHTTPRequest request = makeRequest(url, path, headers, params, method);
        if (multiparts && !multiparts->empty()) setMultipartBody(request, *multiparts);
        return decodeResponse<T>(execute(request), decoder);
    }

    // ---- the steps above, usable on their own ----

    /// A 2xx answer, ready to decode.
    struct Response {
        EKYCHTTPStatusCode status;  ///< a 2xx status
        HTTPHeaders headers;        ///< names as received; look them up with header()
        Data body;                  ///< the body as received
        std::string url;            ///< the URL that answered

        std::optional<std::string> header(std::string_view name) const;  ///< case-insensitive
    };

    /// url + path, the query from params ("?" even when empty), the method,
    /// headers and time-out. Throws urlNil when no URL can be formed.
    EKYCHTTPRequest makeRequest(const std::string& url, const std::optional<std::string>& path,
                                const HTTPHeaders& headers, const HTTPParameters& params,
                                EKYCHTTPMethod method) const;
    /// Makes `body` the request's body; "application/json" is added to its Content-Type.
    static void setJSONBody(EKYCHTTPRequest& request, Data body);
    /// Makes the parts the request's multipart/form-data body, with its
    /// Content-Type (and boundary) and Content-Length.
    static void setMultipartBody(EKYCHTTPRequest& request, const MultipartForms& parts);

    /// Sends the request and returns a 2xx answer; throws EKYCAPIError for
    /// every other outcome. Logs the exchange.
    Response execute(const EKYCHTTPRequest& request) const;

    /// Decodes a 2xx body; a text/plain body stands for itself when T is text.
    template <class T>
    T decodeResponse(const Response& response, const JSONDecoder& decoder) const {
        try {
            return decoder.decode<T>(response.body);
        } catch (const DecodingError& error) {
            if constexpr (std::is_same_v<T, std::string>) {
                if (auto text = plainTextBody(response)) return *text;
            }
            throw decodingFailure(response, error);
        }
    }

private:
    static std::optional<std::string> plainTextBody(const Response& response);
    EKYCAPIError decodingFailure(const Response& response, const DecodingError& error) const;

    struct Transport;
    Configuration configuration_;
    EKYCLogger logger_;
    std::unique_ptr<Transport> transport_;
};

}  // namespace ovira

#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace ovira::devserver {

// The endpoints under /v1/ekyc, the names faults are set for.
inline constexpr std::array<std::string_view, 8> kEndpoints{"/listCountry",   "/listNational", "/nationId",
                                                            "/driverlicense", "/passport",     "/captureFace",
                                                            "/getInfo",       "/submitInfo"};

// A misbehaviour the server puts on for one endpoint ("*": all), so that
// tests can see how a client copes. Several effects may be combined.
struct Fault {
    std::string path = "*";
    std::chrono::milliseconds delay{0};
    std::chrono::milliseconds trickle{0};  // the answer's body goes out one byte per this long; 0: off
    int httpStatus = 0;             // answer with this HTTP status (and an envelope); 0: off
    std::optional<int> statusCode;  // answer HTTP 200 with this envelope statusCode
    std::string message;            // the envelope message going with the two above
    bool malformedJSON = false;     // the body is cut short of valid JSON
    bool truncatedBody = false;     // Content-Length promises more than is sent, then the connection closes
    bool resetConnection = false;   // the connection is dropped without an answer
    bool oversizedBody = false;     // a valid JSON body of kOversizedBytes
    bool invalidUTF8 = false;       // a string of the answer holds bytes that are not UTF-8
    bool wrongTypes = false;        // numbers, strings and booleans of "data" swap types
    std::string redirect;           // answer 307 Temporary Redirect to this location; empty: off
    int count = -1;                 // requests it still applies to; -1: until cleared

    static constexpr std::size_t kOversizedBytes = 20u << 20;

    // The command-line form "PATH:effect[,effect...]" with effects delay=MS,
    // trickle=MS, status=HTTP, code=N, message=TEXT (last: takes the rest), malformed,
    // truncated, reset, oversized, invalid-utf8, wrong-types, redirect=LOCATION, count=N.
    // Throws std::invalid_argument with a message fit for the user.
    static Fault parse(std::string_view text);
    // The JSON form {"path", "delay", "trickle", "status", "code", "message", "malformed",
    // "truncated", "reset", "oversized", "invalidUtf8", "wrongTypes", "redirect", "count"}.
    static Fault fromJSON(const nlohmann::json& object);
    nlohmann::json toJSON() const;
};

// "/v1/ekyc/getInfo" and "/getInfo" both name the endpoint "/getInfo".
std::string endpointName(std::string_view path);

}  // namespace ovira::devserver

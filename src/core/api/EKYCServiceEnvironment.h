#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ovira/EKYCHTTPClient.h"

namespace ovira {

// Where the eKYC service lives. Production unless the host's settings say
// otherwise; the scheme is always https and verification always on.
//
// Settings (Info.json or MainBundle::setObject):
//   "EKYCServiceHost":          "host" or "host:port" (e.g. "127.0.0.1:8443")
//   "EKYCServiceCACertificate": a PEM file trusted in addition to the system's
//                               (relative paths start at the executable's folder)
//   "EKYCServicePinnedKeys":    ["sha256//<base64>", ...]
//   "EKYCLogsFullBodies":       true logs bodies and headers in full (development only)
struct EKYCServiceEnvironment {
    static constexpr const char* productionHost = "api.ekyc.qorix.ai";
    static constexpr const char* basePath = "/v1/ekyc";

    std::string host = productionHost;
    std::optional<int> port;
    std::string caCertificateFile;
    std::vector<std::string> pinnedPublicKeys;
    bool logsFullBodies = false;

    static EKYCServiceEnvironment fromMainBundle();

    // Sets host and port from "host" or "host:port" ("[::1]:8443"); false
    // when the address is unusable (baseURL() is then empty).
    bool setAddress(std::string address);

    // "https://host[:port]/v1/ekyc", or "" when the host is not a valid host name.
    std::string baseURL() const;
    // The HTTP client settings this environment needs (trust and pins).
    EKYCHTTPClient::Configuration clientConfiguration() const;
    bool needsOwnClient() const {
        return !caCertificateFile.empty() || !pinnedPublicKeys.empty() || logsFullBodies;
    }
};

}  // namespace ovira

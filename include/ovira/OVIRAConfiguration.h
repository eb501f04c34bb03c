#pragma once

#include <string>

namespace ovira {

/// Process-wide configuration read by every request.
class OVIRAConfiguration {
public:
    /// The host's application identifier, sent as the "appID" header; empty
    /// until OVIRA::config() finds one. Thread-safe.
    static std::string appID();
    /// Sets the application identifier (OVIRA::config() and OVIRA::configure() do).
    static void setAppID(std::string appID);

    OVIRAConfiguration() = delete;
};

}  // namespace ovira

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ovira/OVIRALanguage.h"

namespace ovira {

/// Everything a host configures, as one value applied in one call
/// (OVIRA::configure()). Members left at their defaults mean production
/// settings: the production service, the system's trust store, the
/// language already chosen, the device camera, and redacted logs.
struct OVIRASettings {
    /// The host's application identifier, sent as the "appID" header of
    /// every request. Must not be empty.
    std::string appID;

    /// The eKYC service: "host" or "host:port" (an IPv6 address in brackets,
    /// "[::1]:8443"). Always reached over HTTPS. Must not be empty.
    std::string serviceHost = "api.ekyc.qorix.ai";

    /// A PEM file of certificate authorities trusted in addition to the
    /// system's (a development service's CA). Empty: the system's alone.
    std::filesystem::path caCertificateFile;

    /// The service's accepted public keys, each "sha256//" followed by the
    /// base64 of a SHA-256 digest (44 characters). Empty: no pinning.
    std::vector<std::string> pinnedKeys;

    /// The language of the flow's texts. Nothing: the language stored under
    /// "_localization_currentLanguage" in the user defaults, Vietnamese when
    /// none is.
    std::optional<OVIRALanguage> language;

    /// An image, a folder of images or a video played in place of the device
    /// camera (demos, kiosks without a camera, tests). Empty: the camera.
    std::filesystem::path simulatedCameraMedia;

    /// Takes each photograph automatically once the document or face has
    /// been well placed and steady, after a countdown the user can stop
    /// (OVIRACameraSettings::setAutoCapture()). Off: the user presses the
    /// capture button.
    bool autoCapture = false;

    /// Logs request and response bodies and every header in full. For
    /// development only: the logs then hold identity data.
    bool logFullBodies = false;
};

/// Why OVIRA::configure() refused a settings value.
struct OVIRASettingsError {
    /// The member at fault, as named in OVIRASettings ("serviceHost").
    std::string setting;
    /// What is wrong with it.
    std::string reason;

    /// "serviceHost: is empty".
    std::string message() const { return setting + ": " + reason; }
};

}  // namespace ovira

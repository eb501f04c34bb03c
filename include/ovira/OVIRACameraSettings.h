#pragma once

#include <functional>
#include <string>

namespace ovira {

/// How the flow reaches the camera. Optional: without any setting the flow
/// uses the device's cameras and offers no way to the settings page.
/// Set these before start(); every function is thread-safe.
class OVIRACameraSettings {
public:
    /// Opens the host application's page where the user can allow the camera
    /// again; returns false when it could not. The library calls it on the
    /// GUI thread when the user, told that camera access is denied, chooses
    /// the settings. An empty handler (the default) means there is no such page.
    using OpenSettingsHandler = std::function<bool()>;
    /// Sets the handler (see OpenSettingsHandler).
    static void setOpenSettingsHandler(OpenSettingsHandler handler);
    /// The handler set, empty when none is.
    static OpenSettingsHandler openSettingsHandler();

    /// Plays a file in place of the device camera, for demos and machines
    /// without one: a still image, a folder of images (played in name
    /// order, looping) or a video. Stills are taken from the frame on show.
    /// An empty path (the default) means the device camera.
    static void setSimulatedCameraMedia(std::string path);
    /// The file played in place of the camera; empty for the device camera.
    static std::string simulatedCameraMedia();

    /// Takes the photograph on the user's behalf once the document or the
    /// face has been well placed and steady for a moment: a countdown of
    /// three seconds shows and is read out, and the user can stop it. Off by
    /// default: the user presses the capture button.
    static void setAutoCapture(bool enabled);
    /// Whether the automatic capture is on.
    static bool autoCapture();

    OVIRACameraSettings() = delete;
};

}  // namespace ovira

#include "ovira/OVIRACameraSettings.h"

#include <mutex>

namespace ovira {
namespace {

struct Settings {
    std::mutex mutex;
    OVIRACameraSettings::OpenSettingsHandler openSettings;
    std::string media;
    bool autoCapture = false;
};

Settings& settings() {
    static Settings instance;
    return instance;
}

}  // namespace

void OVIRACameraSettings::setOpenSettingsHandler(OpenSettingsHandler handler) {
    std::lock_guard lock(settings().mutex);
    settings().openSettings = std::move(handler);
}

OVIRACameraSettings::OpenSettingsHandler OVIRACameraSettings::openSettingsHandler() {
    std::lock_guard lock(settings().mutex);
    return settings().openSettings;
}

void OVIRACameraSettings::setSimulatedCameraMedia(std::string path) {
    std::lock_guard lock(settings().mutex);
    settings().media = std::move(path);
}

std::string OVIRACameraSettings::simulatedCameraMedia() {
    std::lock_guard lock(settings().mutex);
    return settings().media;
}

void OVIRACameraSettings::setAutoCapture(bool enabled) {
    std::lock_guard lock(settings().mutex);
    settings().autoCapture = enabled;
}

bool OVIRACameraSettings::autoCapture() {
    std::lock_guard lock(settings().mutex);
    return settings().autoCapture;
}

}  // namespace ovira

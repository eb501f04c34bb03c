#pragma once

#include <optional>

#include "ovira/OVIRASettings.h"

namespace ovira {

// The first thing wrong with `settings`, in the order of OVIRASettings'
// members; nothing when every setting can be applied. Reads the CA file and
// looks the camera media up, changes nothing.
std::optional<OVIRASettingsError> checkSettings(const OVIRASettings& settings);

// True for "sha256//" followed by the base64 of 32 bytes.
bool isPublicKeyPin(const std::string& pin);

}  // namespace ovira

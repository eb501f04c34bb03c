#include "sdk/EKYCSettingsCheck.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "api/EKYCServiceEnvironment.h"
#include "ovira/OVIRALocalization.h"

namespace ovira {
namespace {

constexpr std::string_view kPinPrefix = "sha256//";
constexpr std::string_view kCertificateBegin = "-----BEGIN CERTIFICATE-----";
// A bundle of every public root is under 300 KB; more is not a CA file.
constexpr std::streamsize kMaxCAFileBytes = 4 * 1024 * 1024;

bool isBase64Character(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

OVIRASettingsError refuse(std::string setting, std::string reason) {
    return {std::move(setting), std::move(reason)};
}

std::optional<OVIRASettingsError> checkCAFile(const std::filesystem::path& file) {
    if (file.empty()) return std::nullopt;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return refuse("caCertificateFile", "\"" + file.string() + "\" is not a readable file");
    std::ifstream stream(file, std::ios::binary);
    if (!stream) return refuse("caCertificateFile", "\"" + file.string() + "\" cannot be opened");
    std::string text(static_cast<std::size_t>(kMaxCAFileBytes) + 1, '\0');
    stream.read(text.data(), kMaxCAFileBytes + 1);
    text.resize(static_cast<std::size_t>(stream.gcount()));
    if (text.size() > static_cast<std::size_t>(kMaxCAFileBytes))
        return refuse("caCertificateFile", "\"" + file.string() + "\" is larger than 4 MiB");
    if (text.find(kCertificateBegin) == std::string::npos)
        return refuse("caCertificateFile", "\"" + file.string() + "\" holds no PEM certificate");
    return std::nullopt;
}

}  // namespace

bool isPublicKeyPin(const std::string& pin) {
    // 32 bytes are 43 base64 characters and one "=".
    if (pin.size() != kPinPrefix.size() + 44 || pin.compare(0, kPinPrefix.size(), kPinPrefix) != 0)
        return false;
    const auto digest = std::string_view(pin).substr(kPinPrefix.size());
    return std::all_of(digest.begin(), digest.end() - 1, isBase64Character) && digest.back() == '=';
}

std::optional<OVIRASettingsError> checkSettings(const OVIRASettings& settings) {
    if (settings.appID.empty()) return refuse("appID", "is empty");
    if (hasControlCharacter(settings.appID)) return refuse("appID", "contains a control character");

    if (settings.serviceHost.empty()) return refuse("serviceHost", "is empty");
    if (EKYCServiceEnvironment environment; !environment.setAddress(settings.serviceHost))
        return refuse("serviceHost", "\"" + settings.serviceHost + "\" is not a host name or host:port");

    if (auto error = checkCAFile(settings.caCertificateFile)) return error;

    for (std::size_t index = 0; index < settings.pinnedKeys.size(); ++index) {
        if (!isPublicKeyPin(settings.pinnedKeys[index]))
            return refuse("pinnedKeys", "entry " + std::to_string(index) +
                                            " is not \"sha256//\" and the base64 of a SHA-256 digest");
    }

    if (settings.language && !OVIRALocalization::isAvailable(*settings.language))
        return refuse("language",
                      "\"" + settings.language->code() +
                          "\" is neither built in nor loaded with OVIRALocalization::loadStrings()");

    if (!settings.simulatedCameraMedia.empty()) {
        std::error_code error;
        if (!std::filesystem::exists(settings.simulatedCameraMedia, error))
            return refuse("simulatedCameraMedia",
                          "\"" + settings.simulatedCameraMedia.string() + "\" does not exist");
    }
    return std::nullopt;
}

}  // namespace ovira

#include "ovira/OVIRA.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <mutex>

#include "api/EKYCServiceEnvironment.h"
#include "capture/EKYCFileService.h"
#include "ovira/EKYCHTTPClient.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRACameraSettings.h"
#include "ovira/OVIRALocalization.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCSettingsCheck.h"

namespace ovira {
namespace {

std::mutex& configurationMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& storedAppID() {
    static std::string appID;
    return appID;
}

}  // namespace

std::string OVIRAConfiguration::appID() {
    std::lock_guard lock(configurationMutex());
    return storedAppID();
}

void OVIRAConfiguration::setAppID(std::string appID) {
    std::lock_guard lock(configurationMutex());
    storedAppID() = std::move(appID);
}

OVIRA::OVIRA() : application_(std::make_unique<EKYCApplication>()) {}
OVIRA::~OVIRA() = default;

OVIRA& OVIRA::instance() {
    static OVIRA facade;
    return facade;
}

void OVIRA::config() {
    // A photograph a crashed process left behind goes before anything else.
    EKYCFileService().removeLeftovers();
    const nlohmann::json value = MainBundle::main().objectForInfoDictionaryKey("EKYCAppID");
    if (value.is_string()) OVIRAConfiguration::setAppID(value.get<std::string>());
    // A service that needs its own trust (a development CA, pinned keys) gets
    // a client that carries it. Once the host's settings no longer ask for
    // it, the client made here gives way to the default one again; a client
    // the host installed itself stays.
    const auto environment = EKYCServiceEnvironment::fromMainBundle();
    static std::mutex mutex;
    static std::weak_ptr<EKYCHTTPClient> madeHere;
    std::lock_guard lock(mutex);
    if (environment.needsOwnClient()) {
        auto client = std::make_shared<EKYCHTTPClient>(environment.clientConfiguration());
        madeHere = client;
        EKYCHTTPClient::setShared(std::move(client));
    } else if (const auto client = madeHere.lock(); client && client == EKYCHTTPClient::shared()) {
        EKYCHTTPClient::setShared(nullptr);
    }
}

std::optional<OVIRASettingsError> OVIRA::configure(const OVIRASettings& settings) {
    // One configuration at a time: two threads cannot interleave their settings.
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    if (auto error = checkSettings(settings)) return error;

    // The settings become the host's settings, so that config() and
    // everything that reads them see one truth.
    auto& bundle = MainBundle::main();
    bundle.setObject("EKYCAppID", settings.appID);
    bundle.setObject("EKYCServiceHost", settings.serviceHost);
    std::error_code ignored;
    const auto caFile = settings.caCertificateFile.empty()
                            ? std::filesystem::path()
                            : std::filesystem::absolute(settings.caCertificateFile, ignored);
    bundle.setObject("EKYCServiceCACertificate",
                     caFile.empty() ? nlohmann::json() : nlohmann::json(caFile.string()));
    bundle.setObject("EKYCServicePinnedKeys",
                     settings.pinnedKeys.empty() ? nlohmann::json() : nlohmann::json(settings.pinnedKeys));
    bundle.setObject("EKYCLogsFullBodies", settings.logFullBodies ? nlohmann::json(true) : nlohmann::json());
    OVIRACameraSettings::setSimulatedCameraMedia(settings.simulatedCameraMedia.string());
    OVIRACameraSettings::setAutoCapture(settings.autoCapture);
    if (settings.language) (void)OVIRALocalization::setLanguage(*settings.language);
    config();
    return std::nullopt;
}

void OVIRA::start() {
    application_->start();
}

std::shared_ptr<OVIRADelegate> OVIRA::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void OVIRA::setDelegate(std::weak_ptr<OVIRADelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

}  // namespace ovira

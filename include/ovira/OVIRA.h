#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "ovira/OVIRAConfiguration.h"
#include "ovira/OVIRADelegate.h"
#include "ovira/OVIRASettings.h"

namespace ovira {

class EKYCApplication;

/// The library's entry point. A host configures it once, sets a delegate and
/// starts the verification flow:
///
///     ovira::OVIRA::config();
///     ovira::OVIRA::instance().setDelegate(myDelegate);  // held weakly
///     ovira::OVIRA::instance().start();                   // on the GUI thread
class OVIRA {
public:
    /// The shared facade, created on first use. Only its delegate is consulted
    /// by the flow.
    static OVIRA& instance();

    /// Reads "EKYCAppID" from the host's settings (MainBundle); when it is a
    /// string it becomes OVIRAConfiguration::appID(), otherwise the previous
    /// value stays. Also applies the service's trust settings
    /// ("EKYCServiceCACertificate", "EKYCServicePinnedKeys") to the HTTP client.
    /// The first call of a process also removes any photograph an earlier,
    /// crashed process left in the library's capture folder.
    static void config();

    /// Applies every setting in one go, after checking them all: an empty
    /// application identifier or service host, a CA file that cannot be read
    /// or holds no certificate, a malformed pin, a language that is not
    /// available, or camera media that does not exist is refused with the
    /// setting's name and the reason, and nothing changes. Settings applied
    /// here are what config() reads afterwards too. Thread-safe; applies to
    /// flows started afterwards.
    [[nodiscard]] static std::optional<OVIRASettingsError> configure(const OVIRASettings& settings);

    /// A facade of its own; hosts use instance().
    OVIRA();
    ~OVIRA();
    OVIRA(const OVIRA&) = delete;
    OVIRA& operator=(const OVIRA&) = delete;

    /// Begins a new session (a new transaction identifier replaces the stored
    /// one) and presents the flow over the host's top-most window. Call on the
    /// GUI thread. While a flow is on screen it changes nothing (and logs why).
    /// To choose where the flow goes, and to learn whether it was shown, use
    /// OVIRAFlow (ovira/qt/OVIRAFlow.h).
    void start();

    /// The delegate, while it lives; null otherwise.
    std::shared_ptr<OVIRADelegate> delegate() const;
    /// The delegate is held weakly: keep it alive for as long as you want the report.
    void setDelegate(std::weak_ptr<OVIRADelegate> delegate);

    /// The session's store, for the library's own use.
    EKYCApplication& application() { return *application_; }

private:
    std::unique_ptr<EKYCApplication> application_;
    mutable std::mutex mutex_;
    std::weak_ptr<OVIRADelegate> delegate_;
};

}  // namespace ovira

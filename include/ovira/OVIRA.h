#pragma once

#include <memory>
#include <mutex>

#include "ovira/OVIRAConfiguration.h"
#include "ovira/OVIRADelegate.h"

namespace ovira {

class EKYCApplication;

// The library's entry point. A host configures it once, sets a delegate and
// starts the verification flow:
//
//   ovira::OVIRA::config();
//   ovira::OVIRA::instance().setDelegate(myDelegate);  // held weakly
//   ovira::OVIRA::instance().start();                   // on the GUI thread
class OVIRA {
public:
    // The shared facade, created on first use. Only its delegate is consulted
    // by the flow.
    static OVIRA& instance();

    // Reads "EKYCAppID" from the host's settings (MainBundle); when it is a
    // string it becomes OVIRAConfiguration::appID(), otherwise the previous
    // value stays. Also applies the service's trust settings
    // ("EKYCServiceCACertificate", "EKYCServicePinnedKeys") to the HTTP client.
    // The first call of a process also removes any photograph an earlier,
    // crashed process left in the library's capture folder.
    static void config();

    OVIRA();
    ~OVIRA();
    OVIRA(const OVIRA&) = delete;
    OVIRA& operator=(const OVIRA&) = delete;

    // Begins a new session (a new transaction identifier replaces the stored
    // one) and presents the flow over the host's top-most window. Call on the
    // GUI thread.
    void start();

    // The delegate is held weakly: keep it alive for as long as you want the report.
    std::shared_ptr<OVIRADelegate> delegate() const;
    void setDelegate(std::weak_ptr<OVIRADelegate> delegate);

    EKYCApplication& application() { return *application_; }

private:
    std::unique_ptr<EKYCApplication> application_;
    mutable std::mutex mutex_;
    std::weak_ptr<OVIRADelegate> delegate_;
};

}  // namespace ovira

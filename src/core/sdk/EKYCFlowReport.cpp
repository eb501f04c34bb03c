#include "sdk/EKYCFlowReport.h"

#include "ovira/EKYCLogger.h"
#include "ovira/OVIRA.h"

namespace ovira {

const char* toString(OVIRAFlowStep step) {
    switch (step) {
        case OVIRAFlowStep::chooseDocument:
            return "chooseDocument";
        case OVIRAFlowStep::documentGuide:
            return "documentGuide";
        case OVIRAFlowStep::captureFront:
            return "captureFront";
        case OVIRAFlowStep::captureBack:
            return "captureBack";
        case OVIRAFlowStep::capturePassport:
            return "capturePassport";
        case OVIRAFlowStep::faceGuide:
            return "faceGuide";
        case OVIRAFlowStep::captureFace:
            return "captureFace";
        case OVIRAFlowStep::confirm:
            return "confirm";
        case OVIRAFlowStep::identityForm:
            return "identityForm";
    }
    return "unknown";
}

EKYCFlowReport& EKYCFlowReport::shared() {
    static EKYCFlowReport report;
    return report;
}

bool EKYCFlowReport::open() {
    std::lock_guard lock(mutex_);
    if (open_) return false;
    open_ = true;
    ending_ = Ending::none;
    sessionId_.clear();
    message_.clear();
    failure_.reset();
    step_.reset();
    return true;
}

bool EKYCFlowReport::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void EKYCFlowReport::succeeded(std::string sessionId) {
    {
        std::lock_guard lock(mutex_);
        if (open_) {
            if (ending_ == Ending::none) {
                ending_ = Ending::success;
                sessionId_ = std::move(sessionId);
            }
            return;
        }
    }
    deliver([&](OVIRADelegate& delegate) { delegate.didEKYCSuccessWithSessionId(sessionId); }, "success");
}

void EKYCFlowReport::sessionEnded(std::string message) {
    {
        std::lock_guard lock(mutex_);
        if (open_) {
            if (ending_ == Ending::none) {
                ending_ = Ending::sessionEnded;
                message_ = std::move(message);
            }
            return;
        }
    }
    deliver([&](OVIRADelegate& delegate) { delegate.didEKYCEndSession(message); }, "session end");
}

void EKYCFlowReport::failed(EKYCAPIError error) {
    std::lock_guard lock(mutex_);
    if (open_) failure_ = std::move(error);
}

void EKYCFlowReport::recovered() {
    std::lock_guard lock(mutex_);
    failure_.reset();
}

void EKYCFlowReport::reached(OVIRAFlowStep step) {
    {
        std::lock_guard lock(mutex_);
        if (!open_ || step_ == step) return;
        step_ = step;
    }
    deliver([step](OVIRADelegate& delegate) { delegate.didEKYCReachStep(step); }, "progress");
}

void EKYCFlowReport::closed() {
    Ending ending;
    std::string sessionId, message;
    std::optional<EKYCAPIError> failure;
    {
        std::lock_guard lock(mutex_);
        if (!open_) return;
        open_ = false;
        ending = ending_;
        sessionId = std::move(sessionId_);
        message = std::move(message_);
        failure = std::move(failure_);
        ending_ = Ending::none;
        failure_.reset();
        step_.reset();
    }
    switch (ending) {
        case Ending::success:
            deliver([&](OVIRADelegate& delegate) { delegate.didEKYCSuccessWithSessionId(sessionId); },
                    "success");
            return;
        case Ending::sessionEnded:
            deliver([&](OVIRADelegate& delegate) { delegate.didEKYCEndSession(message); }, "session end");
            return;
        case Ending::none:
            break;
    }
    if (failure)
        deliver([&](OVIRADelegate& delegate) { delegate.didEKYCFail(*failure); }, "failure");
    else
        deliver([](OVIRADelegate& delegate) { delegate.didEKYCCancel(); }, "cancellation");
}

void EKYCFlowReport::deliver(const std::function<void(OVIRADelegate&)>& call, const char* what) {
    const auto delegate = OVIRA::instance().delegate();
    if (!delegate) return;
    // The host's code runs inside the library's event handling: whatever it
    // throws stops here, logged, rather than unwinding through the GUI.
    try {
        call(*delegate);
    } catch (const std::exception& error) {
        EKYCLogger("[OVIRA]", EKYCLogger::Subsystem::general)
            .log("The delegate's", what, "handler threw:", error.what());
    } catch (...) {
        EKYCLogger("[OVIRA]", EKYCLogger::Subsystem::general).log("The delegate's", what, "handler threw");
    }
}

}  // namespace ovira

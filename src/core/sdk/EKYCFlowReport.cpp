#include "sdk/EKYCFlowReport.h"

#include <utility>

#include "ovira/EKYCLogger.h"
#include "ovira/OVIRA.h"
#include "platform/MainQueue.h"

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

const char* toString(OVIRACaptureAttempt::Outcome outcome) {
    switch (outcome) {
        case OVIRACaptureAttempt::Outcome::refusedOnDevice:
            return "refusedOnDevice";
        case OVIRACaptureAttempt::Outcome::acceptedByService:
            return "acceptedByService";
        case OVIRACaptureAttempt::Outcome::refusedByService:
            return "refusedByService";
        case OVIRACaptureAttempt::Outcome::notJudged:
            return "notJudged";
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
    detail_.clear();
    failure_.reset();
    step_.reset();
    return true;
}

bool EKYCFlowReport::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void EKYCFlowReport::succeeded(std::string sessionId) {
    end(Ending::success, std::move(sessionId));
}

void EKYCFlowReport::sessionEnded(std::string message) {
    end(Ending::sessionEnded, std::move(message));
}

void EKYCFlowReport::end(Ending ending, std::string detail) {
    {
        std::lock_guard lock(mutex_);
        if (open_) {
            if (ending_ == Ending::none) {
                ending_ = ending;
                detail_ = std::move(detail);
            }
            return;
        }
    }
    tell(ending, detail);
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

void EKYCFlowReport::captureAttempt(OVIRACaptureAttempt attempt) {
    MainQueue::async([this, attempt = std::move(attempt)] {
        if (!isOpen()) return;
        deliver([&](OVIRADelegate& delegate) { delegate.didEKYCCaptureAttempt(attempt); }, "capture attempt");
    });
}

void EKYCFlowReport::closed() {
    Ending ending;
    std::string detail;
    std::optional<EKYCAPIError> failure;
    {
        std::lock_guard lock(mutex_);
        if (!open_) return;
        open_ = false;
        ending = std::exchange(ending_, Ending::none);
        detail = std::move(detail_);
        failure = std::move(failure_);
        failure_.reset();
        step_.reset();
    }
    if (ending != Ending::none)
        tell(ending, detail);
    else if (failure)
        deliver([&](OVIRADelegate& delegate) { delegate.didEKYCFail(*failure); }, "failure");
    else
        deliver([](OVIRADelegate& delegate) { delegate.didEKYCCancel(); }, "cancellation");
}

void EKYCFlowReport::tell(Ending ending, const std::string& detail) {
    if (ending == Ending::success)
        deliver([&](OVIRADelegate& delegate) { delegate.didEKYCSuccessWithSessionId(detail); }, "success");
    else if (ending == Ending::sessionEnded)
        deliver([&](OVIRADelegate& delegate) { delegate.didEKYCEndSession(detail); }, "session end");
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

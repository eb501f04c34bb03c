#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "ovira/EKYCAPIError.h"
#include "ovira/OVIRADelegate.h"

namespace ovira {

// What the host hears about the flow on screen: one outcome when it closes,
// and the steps the user reaches meanwhile. The screens say what happened
// (a success, the end of the session, a failure the user cannot get past);
// the UI layer says when the flow opens and when it has gone, and the
// outcome is delivered then, to the delegate of OVIRA::instance().
//
// Events of screens shown outside a flow (a host or a test showing a screen
// on its own) are delivered at once: a success or the end of a session then
// reaches the delegate as it happens. GUI thread, except isOpen().
class EKYCFlowReport {
public:
    static EKYCFlowReport& shared();

    // A flow went on screen; false (and nothing changes) while one is.
    bool open();
    bool isOpen() const;

    // The user's identity was submitted for the session `sessionId`.
    void succeeded(std::string sessionId);
    // The service ended the session with `message`.
    void sessionEnded(std::string message);
    // The flow cannot go on past `error` (the user may still go back and try
    // another way; recovered() forgets it when they get past it).
    void failed(EKYCAPIError error);
    void recovered();
    // The user arrived at `step`; repeated arrivals at the same step are one.
    void reached(OVIRAFlowStep step);
    // A photograph was judged. From any thread: it reaches the delegate on
    // the main queue, if a flow is open then.
    void captureAttempt(OVIRACaptureAttempt attempt);

    // The flow has left the screen: the outcome goes out, exactly once.
    void closed();

private:
    enum class Ending { none, success, sessionEnded };
    void end(Ending ending, std::string detail);
    static void tell(Ending ending, const std::string& detail);
    static void deliver(const std::function<void(OVIRADelegate&)>& call, const char* what);

    mutable std::mutex mutex_;
    bool open_ = false;
    Ending ending_ = Ending::none;
    std::string detail_;  // the session of a success, the message of an ended session
    std::optional<EKYCAPIError> failure_;
    std::optional<OVIRAFlowStep> step_;
};

}  // namespace ovira

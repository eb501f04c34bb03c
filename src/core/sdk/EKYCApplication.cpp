#include "sdk/EKYCApplication.h"

#include <memory>
#include <mutex>

#include "ovira/EKYCLogger.h"
#include "sdk/EKYCFlowReport.h"
#include "sdk/EKYCUserDefault.h"
#include "sdk/TransactionIdentifier.h"

namespace ovira {
namespace {

std::mutex& launcherMutex() {
    static std::mutex mutex;
    return mutex;
}

EKYCApplication::FlowLauncher& launcher() {
    static EKYCApplication::FlowLauncher instance;
    return instance;
}

}  // namespace

void EKYCApplication::startSession() {
    EKYCUserDefault::clear();
    EKYCUserDefault::setTransactionId(TransactionIdentifier::make());
}

void EKYCApplication::start() {
    // A second flow over the first would take its session away from it.
    if (EKYCFlowReport::shared().isOpen()) {
        EKYCLogger("[OVIRA]", EKYCLogger::Subsystem::general)
            .log("start() ignored: a flow is on screen already; it reports its outcome when it closes");
        return;
    }
    startSession();
    FlowLauncher launch;
    {
        std::lock_guard lock(launcherMutex());
        launch = launcher();
    }
    if (launch) launch();
}

void EKYCApplication::setFlowLauncher(FlowLauncher flowLauncher) {
    std::lock_guard lock(launcherMutex());
    launcher() = std::move(flowLauncher);
}

}  // namespace ovira

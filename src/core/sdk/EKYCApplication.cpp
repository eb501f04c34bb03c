#include "sdk/EKYCApplication.h"

#include <memory>
#include <mutex>

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

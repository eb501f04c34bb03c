#include "platform/FatalError.h"

#include <cstdlib>
#include <mutex>
#include <utility>

#include "ovira/EKYCLogger.h"

namespace ovira {
namespace {

std::mutex& handlerMutex() {
    static std::mutex mutex;
    return mutex;
}

FatalErrorHandler& installedHandler() {
    static FatalErrorHandler handler;
    return handler;
}

}  // namespace

void fatalError(const std::string& message, const std::string& source) {
    FatalErrorHandler handler;
    {
        std::lock_guard lock(handlerMutex());
        handler = installedHandler();
    }
    const FatalErrorReport report{message, source};
    if (handler) handler(report);
    EKYCLogger("[" + source + "]", EKYCLogger::Subsystem::general).logMessage("Fatal error: " + message);
    std::abort();
}

FatalErrorHandler setFatalErrorHandler(FatalErrorHandler handler) {
    std::lock_guard lock(handlerMutex());
    return std::exchange(installedHandler(), std::move(handler));
}

}  // namespace ovira

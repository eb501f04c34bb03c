#include "platform/Background.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>

#include "ovira/EKYCHTTPClient.h"
#include "ovira/EKYCLogger.h"

namespace ovira {

namespace {

// The work still running. A process that exits while a service call is under
// way waits a little for it, so that the call does not meet libraries (TLS,
// the C++ runtime's objects) already torn down by the exit.
struct RunningWork {
    std::mutex mutex;
    std::condition_variable finished;
    int count = 0;
};

RunningWork& runningWork() {
    static auto* work = new RunningWork;  // used by threads that may outlive main()
    return *work;
}

void waitForRunningWork() {
    auto& running = runningWork();
    std::unique_lock lock(running.mutex);
    running.finished.wait_for(lock, std::chrono::seconds(5), [&] { return running.count == 0; });
}

}  // namespace

void runInBackground(std::function<MainQueue::Task()> work) {
    // Registered after the libraries the work uses (libcurl and TLS, set up
    // with the HTTP client) have installed their own exit handlers, so that
    // it runs before them.
    static const bool registered = (EKYCHTTPClient::shared(), std::atexit(waitForRunningWork), true);
    (void)registered;
    {
        std::lock_guard lock(runningWork().mutex);
        ++runningWork().count;
    }
    std::thread([work = std::move(work)] {
        MainQueue::Task result;
        try {
            result = work();
        } catch (const std::exception& error) {
            EKYCLogger("[Background]", EKYCLogger::Subsystem::general).log("Work failed:", error.what());
        } catch (...) {
            EKYCLogger("[Background]", EKYCLogger::Subsystem::general).log("Work failed");
        }
        if (result) MainQueue::async(std::move(result));
        auto& running = runningWork();
        std::lock_guard lock(running.mutex);
        if (--running.count == 0) running.finished.notify_all();
    }).detach();
}

}  // namespace ovira

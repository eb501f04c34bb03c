#include "platform/Background.h"

#include <exception>
#include <thread>

#include "ovira/EKYCLogger.h"

namespace ovira {

void runInBackground(std::function<MainQueue::Task()> work) {
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
    }).detach();
}

}  // namespace ovira

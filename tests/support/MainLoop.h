#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/MainQueue.h"

namespace ovira::test {

// Makes the test's own thread the main thread: while it lives, tasks for the
// main queue wait here until the test runs them.
class MainLoop {
public:
    MainLoop() {
        MainQueue::setDispatcher([this](MainQueue::Task task) {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            wake_.notify_all();
        });
    }
    ~MainLoop() { MainQueue::setDispatcher({}); }
    MainLoop(const MainLoop&) = delete;
    MainLoop& operator=(const MainLoop&) = delete;

    // Runs main-queue tasks until `done` holds or `limit` has passed; returns `done()`.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            MainQueue::Task task;
            {
                std::unique_lock lock(mutex_);
                if (!wake_.wait_until(lock, deadline, [&] { return !tasks_.empty(); })) return done();
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<MainQueue::Task> tasks_;
};

}  // namespace ovira::test

#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace ovira {

// A named worker thread for live frames: at most one task waits; a newer
// task replaces the waiting one, so the worker never falls behind the camera.
// Destruction drops the waiting task, lets the running one finish and joins.
class LatestOnlyQueue {
public:
    using Task = std::function<void()>;

    explicit LatestOnlyQueue(std::string label);
    ~LatestOnlyQueue();
    LatestOnlyQueue(const LatestOnlyQueue&) = delete;
    LatestOnlyQueue& operator=(const LatestOnlyQueue&) = delete;

    // Returns whether a waiting task was dropped for this one.
    bool submit(Task task);
    // Blocks until nothing is waiting or running.
    void waitUntilIdle();

    // 0 or 1: the task waiting for the worker.
    std::size_t waitingCount() const;
    std::uint64_t droppedCount() const;
    std::uint64_t completedCount() const;
    const std::string& label() const { return label_; }

private:
    void run();

    std::string label_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    Task waiting_;
    bool running_ = false;
    bool stopping_ = false;
    std::uint64_t dropped_ = 0;
    std::uint64_t completed_ = 0;
    std::thread thread_;
};

}  // namespace ovira

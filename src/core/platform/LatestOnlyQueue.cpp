#include "platform/LatestOnlyQueue.h"

#include <pthread.h>

#include <exception>

namespace ovira {

LatestOnlyQueue::LatestOnlyQueue(std::string label) : label_(std::move(label)), thread_([this] { run(); }) {}

LatestOnlyQueue::~LatestOnlyQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_ = nullptr;
    }
    wake_.notify_all();
    thread_.join();
}

bool LatestOnlyQueue::submit(Task task) {
    bool dropped = false;
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return false;
        dropped = static_cast<bool>(waiting_);
        if (dropped) ++dropped_;
        waiting_ = std::move(task);
    }
    wake_.notify_one();
    return dropped;
}

void LatestOnlyQueue::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [&] { return !waiting_ && !running_; });
}

std::size_t LatestOnlyQueue::waitingCount() const {
    std::lock_guard lock(mutex_);
    return waiting_ ? 1 : 0;
}

std::uint64_t LatestOnlyQueue::droppedCount() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}

std::uint64_t LatestOnlyQueue::completedCount() const {
    std::lock_guard lock(mutex_);
    return completed_;
}

void LatestOnlyQueue::run() {
    pthread_setname_np(pthread_self(), label_.substr(0, 15).c_str());
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || waiting_; });
        if (stopping_) break;
        Task task = std::move(waiting_);
        waiting_ = nullptr;
        running_ = true;
        lock.unlock();
        try {
            task();
        } catch (...) {
            // A frame that cannot be examined is skipped; the next one comes soon.
        }
        task = nullptr;
        lock.lock();
        running_ = false;
        ++completed_;
        if (!waiting_) idle_.notify_all();
    }
    running_ = false;
    idle_.notify_all();
}

}  // namespace ovira

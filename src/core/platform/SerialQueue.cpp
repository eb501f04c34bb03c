#include "platform/SerialQueue.h"

#include <pthread.h>

#include <future>

namespace ovira {

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)) {
    thread_ = std::thread([this] {
        // Thread names are limited to 15 characters; keep the distinctive end.
        const std::string name = label_.size() > 15 ? label_.substr(label_.size() - 15) : label_;
        pthread_setname_np(pthread_self(), name.c_str());
        run();
    });
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        if (isCurrent())
            thread_.detach();  // destroyed from one of its own tasks
        else
            thread_.join();
    }
}

void SerialQueue::async(Task task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void SerialQueue::sync(const Task& task) {
    if (isCurrent()) {
        task();
        return;
    }
    std::promise<void> done;
    auto finished = done.get_future();
    async([&] {
        try {
            task();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    finished.get();
}

std::size_t SerialQueue::cancelPending() {
    std::lock_guard lock(mutex_);
    const std::size_t count = tasks_.size();
    tasks_.clear();
    return count;
}

std::size_t SerialQueue::pendingCount() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

void SerialQueue::run() {
    while (true) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) return;  // stopping, and everything queued has run
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        try {
            task();
        } catch (...) {
            // A failing task must not take the queue (and the process) down.
        }
    }
}

}  // namespace ovira

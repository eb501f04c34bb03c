#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace ovira {

// A named thread that runs tasks one at a time, in the order they were
// queued. Destroying the queue runs what is already queued, then joins.
class SerialQueue {
public:
    using Task = std::function<void()>;

    explicit SerialQueue(std::string label);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void async(Task task);
    // Runs the task on the queue and waits for it; runs it at once when
    // called from the queue itself (waiting would never end). Throws what the
    // task throws, or std::future_error (broken_promise) when cancelPending()
    // drops the task before it runs.
    void sync(const Task& task);
    // Drops the tasks that have not started yet; returns how many.
    std::size_t cancelPending();

    bool isCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }
    const std::string& label() const { return label_; }
    std::size_t pendingCount() const;

private:
    // Shared with the thread, so that a queue destroyed by one of its own
    // tasks leaves the thread valid state to finish with.
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<Task> tasks;
        bool stopping = false;
    };
    static void run(State& state);

    std::string label_;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace ovira

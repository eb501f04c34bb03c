#include "platform/SerialQueue.h"

#include <pthread.h>

#include <exception>
#include <future>
#include <utility>

namespace ovira {

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)), state_(std::make_shared<State>()) {
    // Thread names are limited to 15 characters; keep the distinctive end.
    std::string name = label_.size() > 15 ? label_.substr(label_.size() - 15) : label_;
    thread_ = std::thread([state = state_, name = std::move(name)] {
        pthread_setname_np(pthread_self(), name.c_str());
        run(*state);
    });
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_all();
    if (thread_.joinable()) {
        if (isCurrent())
            thread_.detach();  // destroyed from one of its own tasks
        else
            thread_.join();
    }
}

void SerialQueue::async(Task task) {
    {
        std::lock_guard lock(state_->mutex);
        state_->tasks.push_back(std::move(task));
    }
    state_->wake.notify_one();
}

namespace {

// What a sync() caller waits for. Settled when the queued task goes, whether
// it ran or cancelPending() dropped it, so that the caller never waits forever.
struct SyncOutcome {
    std::mutex mutex;
    std::condition_variable settled;
    bool done = false;
    bool ran = false;
    std::exception_ptr error;
};

struct SyncSettler {
    explicit SyncSettler(std::shared_ptr<SyncOutcome> o) : outcome(std::move(o)) {}
    ~SyncSettler() {
        {
            std::lock_guard lock(outcome->mutex);
            outcome->done = true;
        }
        outcome->settled.notify_all();
    }
    SyncSettler(const SyncSettler&) = delete;
    SyncSettler& operator=(const SyncSettler&) = delete;
    std::shared_ptr<SyncOutcome> outcome;
};

}  // namespace

void SerialQueue::sync(const Task& task) {
    if (isCurrent()) {
        task();
        return;
    }
    auto outcome = std::make_shared<SyncOutcome>();
    async([&task, settler = std::make_shared<SyncSettler>(outcome)] {
        std::exception_ptr error;
        try {
            task();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(settler->outcome->mutex);
        settler->outcome->ran = true;
        settler->outcome->error = std::move(error);
    });
    std::unique_lock lock(outcome->mutex);
    outcome->settled.wait(lock, [&] { return outcome->done; });
    if (!outcome->ran) throw std::future_error(std::future_errc::broken_promise);
    // Released here, on the caller's thread, once rethrown and handled.
    if (auto error = std::exchange(outcome->error, nullptr)) std::rethrow_exception(error);
}

std::size_t SerialQueue::cancelPending() {
    std::deque<Task> dropped;
    {
        std::lock_guard lock(state_->mutex);
        dropped.swap(state_->tasks);
    }
    // Destroyed unlocked: what the tasks hold may use the queue as it goes.
    return dropped.size();
}

std::size_t SerialQueue::pendingCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->tasks.size();
}

void SerialQueue::run(State& state) {
    while (true) {
        Task task;
        {
            std::unique_lock lock(state.mutex);
            state.wake.wait(lock, [&state] { return state.stopping || !state.tasks.empty(); });
            if (state.tasks.empty()) return;  // stopping, and everything queued has run
            task = std::move(state.tasks.front());
            state.tasks.pop_front();
        }
        try {
            task();
        } catch (...) {
            // A failing task must not take the queue (and the process) down.
        }
    }
}

}  // namespace ovira

#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <variant>
#include <vector>

#include "platform/AnyCancellable.h"

namespace ovira {

// The payload of an event that carries nothing.
using Void = std::monostate;

// An event stream without memory: send() hands the value to the current
// subscribers, synchronously, on the sending thread; an event sent while
// nobody listens is lost. subscribe, cancel and send are safe from any thread,
// and a subscriber may cancel or subscribe from inside its own callback.
// A callback that is already running on another thread may finish after
// cancel() returns; subscribers that can disappear guard themselves.
template <class T>
class PassthroughSubject {
public:
    using Receiver = std::function<void(const T&)>;

    PassthroughSubject() : state_(std::make_shared<State>()) {}
    PassthroughSubject(const PassthroughSubject&) = delete;
    PassthroughSubject& operator=(const PassthroughSubject&) = delete;

    [[nodiscard]] AnyCancellable sink(Receiver receiver) {
        auto subscription = std::make_shared<Subscription>(std::move(receiver));
        {
            std::lock_guard lock(state_->mutex);
            state_->subscriptions.push_back(subscription);
        }
        std::weak_ptr<State> weakState = state_;
        std::weak_ptr<Subscription> weakSubscription = subscription;
        return AnyCancellable([weakState, weakSubscription] {
            auto cancelled = weakSubscription.lock();
            if (!cancelled) return;
            cancelled->active = false;
            if (auto state = weakState.lock()) {
                std::lock_guard lock(state->mutex);
                std::erase(state->subscriptions, cancelled);
            }
        });
    }

    void send(const T& value) const {
        std::vector<std::shared_ptr<Subscription>> receivers;
        {
            std::lock_guard lock(state_->mutex);
            receivers = state_->subscriptions;
        }
        for (const auto& subscription : receivers) {
            if (subscription->active) subscription->receiver(value);
        }
    }

    std::size_t subscriberCount() const {
        std::lock_guard lock(state_->mutex);
        return state_->subscriptions.size();
    }

private:
    struct Subscription {
        explicit Subscription(Receiver r) : receiver(std::move(r)) {}
        Receiver receiver;
        std::atomic<bool> active{true};
    };
    struct State {
        std::mutex mutex;
        std::vector<std::shared_ptr<Subscription>> subscriptions;
    };
    std::shared_ptr<State> state_;
};

}  // namespace ovira

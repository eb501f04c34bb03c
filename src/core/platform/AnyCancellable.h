#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace ovira {

// A subscription token: cancels its subscription when cancelled or destroyed.
// Move-only.
class AnyCancellable {
public:
    AnyCancellable() = default;
    explicit AnyCancellable(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    ~AnyCancellable() { cancel(); }

    AnyCancellable(AnyCancellable&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    AnyCancellable& operator=(AnyCancellable&& other) noexcept {
        if (this != &other) {
            cancel();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    AnyCancellable(const AnyCancellable&) = delete;
    AnyCancellable& operator=(const AnyCancellable&) = delete;

    void cancel() {
        if (auto cancel = std::exchange(cancel_, nullptr)) cancel();
    }

    // Keeps the token alive in the subscriber's list.
    void store(std::vector<AnyCancellable>& subscriptions) { subscriptions.push_back(std::move(*this)); }

private:
    std::function<void()> cancel_;
};

}  // namespace ovira

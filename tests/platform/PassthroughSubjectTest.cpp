#include "platform/PassthroughSubject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/AnyCancellable.h"

namespace ovira {
namespace {

PassthroughSubject<int>::Receiver into(std::vector<int>& values) {
    return [&values](const int& value) { values.push_back(value); };
}

// Delivery is synchronous, on whichever thread sends, to the subscribers of
// the moment: an event sent before any subscribed is lost, and a token stops
// delivery when cancelled or destroyed.
TEST(PassthroughSubjectTest, DeliversToEveryCurrentSubscriberOnTheSendingThread) {
    PassthroughSubject<int> subject;
    subject.send(0);
    std::vector<std::pair<int, std::thread::id>> seen;
    std::vector<int> gone;
    const auto record = [&](const int& value) { seen.emplace_back(value, std::this_thread::get_id()); };
    auto a = subject.sink(record);
    auto b = subject.sink(record);
    { auto destroyed = subject.sink(into(gone)); }
    auto cancelled = subject.sink(into(gone));
    cancelled.cancel();
    EXPECT_EQ(subject.subscriberCount(), 2u);
    subject.send(1);
    std::thread::id senderId;
    std::thread([&] {
        senderId = std::this_thread::get_id();
        subject.send(2);
    }).join();
    const auto self = std::this_thread::get_id();
    EXPECT_EQ(seen, (decltype(seen){{1, self}, {1, self}, {2, senderId}, {2, senderId}}));
    EXPECT_TRUE(gone.empty());
}

// During one event a subscriber cancels itself, cancels a later subscriber
// (which then misses that event) and adds a new one (which starts with the
// next event).
TEST(PassthroughSubjectTest, CallbacksMayCancelAndSubscribe) {
    PassthroughSubject<int> subject;
    std::vector<int> self, victim, added;
    AnyCancellable selfToken, victimToken, addedToken;
    selfToken = subject.sink([&](const int& value) {
        self.push_back(value);
        selfToken.cancel();
        victimToken.cancel();
        addedToken = subject.sink(into(added));
    });
    victimToken = subject.sink(into(victim));
    subject.send(1);
    subject.send(2);
    EXPECT_EQ(self, std::vector<int>{1});
    EXPECT_TRUE(victim.empty());
    EXPECT_EQ(added, std::vector<int>{2});
}

// Senders on several threads while others keep subscribing and cancelling:
// nothing may crash, and a subscriber present throughout sees every event,
// each sender's in the order sent.
TEST(PassthroughSubjectTest, ConcurrentSendSubscribeAndCancel) {
    constexpr int kSenders = 3, kEvents = 5000;
    PassthroughSubject<std::pair<int, int>> subject;  // sender, sequence
    std::mutex mutex;
    std::vector<int> next(kSenders, 0);
    auto steady = subject.sink([&](const std::pair<int, int>& event) {
        std::lock_guard lock(mutex);
        // Stalls at the first event lost or out of order.
        if (event.second == next[event.first]) ++next[event.first];
    });
    std::atomic<int> sending{kSenders};
    std::vector<std::thread> threads;
    for (int c = 0; c < 3; ++c) {
        threads.emplace_back([&] {
            while (sending > 0) {
                AnyCancellable token = subject.sink([](const auto&) {});
                std::this_thread::yield();
            }
        });
    }
    for (int s = 0; s < kSenders; ++s) {
        threads.emplace_back([&, s] {
            for (int i = 0; i < kEvents; ++i) subject.send({s, i});
            --sending;
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(next, std::vector<int>(kSenders, kEvents));
    steady.cancel();
    EXPECT_EQ(subject.subscriberCount(), 0u) << "every cancelled subscription should be gone";
}

}  // namespace
}  // namespace ovira

#include "platform/PassthroughSubject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/AnyCancellable.h"

namespace ovira {
namespace {

// Collects what a subscriber receives; safe to fill from several threads.
template <class T>
class Recorder {
public:
    typename PassthroughSubject<T>::Receiver receiver() {
        return [this](const T& value) {
            std::lock_guard lock(mutex_);
            values_.push_back(value);
        };
    }
    std::vector<T> values() const {
        std::lock_guard lock(mutex_);
        return values_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<T> values_;
};

TEST(PassthroughSubjectTest, DeliversToEverySubscriberBeforeSendReturns) {
    PassthroughSubject<int> subject;
    Recorder<int> first, second;
    auto a = subject.sink(first.receiver());
    auto b = subject.sink(second.receiver());
    EXPECT_EQ(subject.subscriberCount(), 2u);

    subject.send(1);
    EXPECT_EQ(first.values(), std::vector<int>{1});
    EXPECT_EQ(second.values(), std::vector<int>{1});
    subject.send(2);
    subject.send(3);
    EXPECT_EQ(first.values(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(second.values(), (std::vector<int>{1, 2, 3}));
}

TEST(PassthroughSubjectTest, DeliversOnTheSendingThread) {
    PassthroughSubject<std::string> subject;
    std::vector<std::thread::id> threads;
    std::vector<std::string> values;
    auto token = subject.sink([&](const std::string& value) {
        threads.push_back(std::this_thread::get_id());
        values.push_back(value);
    });
    subject.send("here");
    std::thread::id senderId;
    std::thread sender([&] {
        senderId = std::this_thread::get_id();
        subject.send("there");
    });
    sender.join();
    ASSERT_EQ(threads.size(), 2u);
    EXPECT_EQ(threads[0], std::this_thread::get_id());
    EXPECT_EQ(threads[1], senderId);
    EXPECT_EQ(values, (std::vector<std::string>{"here", "there"}));
}

TEST(PassthroughSubjectTest, EventsSentWithoutSubscribersAreLost) {
    PassthroughSubject<int> subject;
    subject.send(1);  // nobody listens: no error, no memory
    Recorder<int> late;
    auto token = subject.sink(late.receiver());
    EXPECT_TRUE(late.values().empty());
    subject.send(2);
    EXPECT_EQ(late.values(), std::vector<int>{2});

    token.cancel();
    subject.send(3);
    Recorder<int> later;
    auto again = subject.sink(later.receiver());
    EXPECT_EQ(late.values(), std::vector<int>{2});
    EXPECT_TRUE(later.values().empty());
}

TEST(PassthroughSubjectTest, TokenCancelsWhenDestroyed) {
    PassthroughSubject<int> subject;
    Recorder<int> kept, dropped;
    auto keptToken = subject.sink(kept.receiver());
    {
        auto droppedToken = subject.sink(dropped.receiver());
        subject.send(1);
    }
    EXPECT_EQ(subject.subscriberCount(), 1u);
    subject.send(2);
    EXPECT_EQ(dropped.values(), std::vector<int>{1});
    EXPECT_EQ(kept.values(), (std::vector<int>{1, 2}));
}

TEST(PassthroughSubjectTest, CancelStopsDeliveryAndIsIdempotent) {
    PassthroughSubject<int> subject;
    Recorder<int> recorder;
    auto token = subject.sink(recorder.receiver());
    subject.send(1);
    token.cancel();
    token.cancel();
    subject.send(2);
    EXPECT_EQ(recorder.values(), std::vector<int>{1});
    EXPECT_EQ(subject.subscriberCount(), 0u);
    AnyCancellable empty;
    empty.cancel();  // a token without a subscription does nothing
}

TEST(PassthroughSubjectTest, TokenMayOutliveTheSubject) {
    AnyCancellable token;
    AnyCancellable other;
    {
        PassthroughSubject<int> subject;
        token = subject.sink([](const int&) {});
        other = subject.sink([](const int&) {});
    }
    token.cancel();  // must not touch the destroyed subject
    SUCCEED();
}

TEST(PassthroughSubjectTest, MovingATokenMovesTheSubscription) {
    PassthroughSubject<int> subject;
    Recorder<int> first, second;
    AnyCancellable holder;
    {
        auto token = subject.sink(first.receiver());
        holder = std::move(token);  // the moved-from token cancels nothing when it goes
    }
    subject.send(1);
    EXPECT_EQ(first.values(), std::vector<int>{1});

    AnyCancellable constructed(std::move(holder));
    subject.send(2);
    EXPECT_EQ(first.values(), (std::vector<int>{1, 2}));

    // Assigning over a live token cancels what it held.
    constructed = subject.sink(second.receiver());
    subject.send(3);
    EXPECT_EQ(first.values(), (std::vector<int>{1, 2}));
    EXPECT_EQ(second.values(), std::vector<int>{3});
    EXPECT_EQ(subject.subscriberCount(), 1u);
}

TEST(PassthroughSubjectTest, StoredTokensLiveAsLongAsTheirList) {
    PassthroughSubject<int> subject;
    Recorder<int> a, b;
    std::vector<AnyCancellable> subscriptions;
    subject.sink(a.receiver()).store(subscriptions);
    subject.sink(b.receiver()).store(subscriptions);
    subject.send(1);
    EXPECT_EQ(subject.subscriberCount(), 2u);
    subscriptions.clear();
    subject.send(2);
    EXPECT_EQ(a.values(), std::vector<int>{1});
    EXPECT_EQ(b.values(), std::vector<int>{1});
    EXPECT_EQ(subject.subscriberCount(), 0u);
}

TEST(PassthroughSubjectTest, ASubscriberMayCancelItselfFromItsCallback) {
    PassthroughSubject<int> subject;
    std::vector<int> once;
    Recorder<int> other;
    AnyCancellable self;
    self = subject.sink([&](const int& value) {
        once.push_back(value);
        self.cancel();
    });
    auto otherToken = subject.sink(other.receiver());
    subject.send(1);
    subject.send(2);
    EXPECT_EQ(once, std::vector<int>{1});
    EXPECT_EQ(other.values(), (std::vector<int>{1, 2}));
}

TEST(PassthroughSubjectTest, ATokenDestroyedInsideItsOwnCallbackIsSafe) {
    PassthroughSubject<int> subject;
    int calls = 0;
    auto token = std::make_unique<AnyCancellable>();
    *token = subject.sink([&](const int&) {
        ++calls;
        token.reset();  // destroys the receiver's own subscription while it runs
    });
    subject.send(1);
    subject.send(2);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(subject.subscriberCount(), 0u);
}

TEST(PassthroughSubjectTest, CancellingALaterSubscriberSkipsItForTheCurrentEvent) {
    PassthroughSubject<int> subject;
    Recorder<int> victim;
    AnyCancellable victimToken;
    auto first = subject.sink([&](const int&) { victimToken.cancel(); });
    victimToken = subject.sink(victim.receiver());
    subject.send(1);
    subject.send(2);
    EXPECT_TRUE(victim.values().empty());
}

TEST(PassthroughSubjectTest, ASubscriberMaySubscribeFromItsCallback) {
    PassthroughSubject<int> subject;
    Recorder<int> added;
    std::vector<AnyCancellable> tokens;
    auto first = subject.sink([&](const int& value) {
        if (value == 1) subject.sink(added.receiver()).store(tokens);
    });
    subject.send(1);
    EXPECT_EQ(subject.subscriberCount(), 2u);
    subject.send(2);
    subject.send(3);
    EXPECT_EQ(added.values(), (std::vector<int>{2, 3}));
}

TEST(PassthroughSubjectTest, ASubscriberMaySendFromItsCallback) {
    PassthroughSubject<int> subject;
    std::vector<int> seen;
    auto token = subject.sink([&](const int& value) {
        seen.push_back(value);
        if (value < 3) subject.send(value + 1);
    });
    subject.send(1);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

// Several threads send, others keep subscribing and cancelling. Nothing may
// crash or race, and each subscriber sees each sender's events in the order
// they were sent; subscribers present throughout see every event.
TEST(PassthroughSubjectTest, ConcurrentSendSubscribeAndCancel) {
    struct Event {
        int sender;
        int sequence;
    };
    constexpr int kSenders = 3;
    constexpr int kEvents = 5000;
    constexpr int kChurners = 3;

    // Checks the order per sender; shared so that a callback still running
    // after cancel() returns finds it alive.
    struct Checker {
        std::mutex mutex;
        int last[kSenders];
        int received = 0;
        bool ordered = true;
        Checker() {
            for (int& value : last) value = -1;
        }
        void receive(const Event& event) {
            std::lock_guard lock(mutex);
            if (event.sequence <= last[event.sender]) ordered = false;
            last[event.sender] = event.sequence;
            ++received;
        }
    };

    PassthroughSubject<Event> subject;
    std::vector<std::shared_ptr<Checker>> steady;
    std::vector<AnyCancellable> steadyTokens;
    for (int i = 0; i < 2; ++i) {
        auto checker = std::make_shared<Checker>();
        steady.push_back(checker);
        subject.sink([checker](const Event& event) { checker->receive(event); }).store(steadyTokens);
    }

    std::atomic<bool> sendersDone{false};
    std::atomic<int> churnerViolations{0};
    std::atomic<int> churnerSubscriptions{0};
    std::vector<std::thread> churners;
    for (int c = 0; c < kChurners; ++c) {
        churners.emplace_back([&, c] {
            std::vector<std::shared_ptr<Checker>> checkers;
            while (!sendersDone) {
                auto checker = std::make_shared<Checker>();
                checkers.push_back(checker);
                AnyCancellable token = subject.sink([checker](const Event& event) { checker->receive(event); });
                ++churnerSubscriptions;
                if (c == 0) {
                    // A short-lived one that only has its token destroyed.
                    auto brief = subject.sink([](const Event&) {});
                }
                std::this_thread::yield();
                token.cancel();
            }
            for (const auto& checker : checkers) {
                std::lock_guard lock(checker->mutex);
                if (!checker->ordered) ++churnerViolations;
            }
        });
    }

    // Send only once every churner is busy.
    while (churnerSubscriptions < kChurners * 10) std::this_thread::yield();
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&, s] {
            for (int i = 0; i < kEvents; ++i) subject.send(Event{s, i});
        });
    }
    for (auto& sender : senders) sender.join();
    sendersDone = true;
    for (auto& churner : churners) churner.join();

    EXPECT_EQ(churnerViolations, 0);
    EXPECT_GT(churnerSubscriptions, 0);
    for (const auto& checker : steady) {
        std::lock_guard lock(checker->mutex);
        EXPECT_TRUE(checker->ordered);
        EXPECT_EQ(checker->received, kSenders * kEvents);
        for (int s = 0; s < kSenders; ++s) EXPECT_EQ(checker->last[s], kEvents - 1);
    }
    steadyTokens.clear();
    EXPECT_EQ(subject.subscriberCount(), 0u) << "every cancelled subscription should be gone";
}

}  // namespace
}  // namespace ovira

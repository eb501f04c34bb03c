#include "platform/SerialQueue.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <optional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/MainQueue.h"

namespace ovira {
namespace {

using namespace std::chrono_literals;

// Long enough that only a hang can exceed it.
constexpr auto kHang = 20s;

std::string currentThreadName() {
    char name[32] = {};
    pthread_getname_np(pthread_self(), name, sizeof name);
    return name;
}

// A value handed from one thread to another. Built on a mutex and a
// condition variable, which the thread sanitizer follows (the futex waits of
// std::future it does not).
template <class T = bool>
class Signal {
public:
    void set(T value = T{}) {
        // Notified under the lock: the waiter may destroy the signal as soon
        // as it sees the value.
        std::lock_guard lock(mutex_);
        value_ = std::move(value);
        changed_.notify_all();
    }
    // The value, or nothing if none came in time.
    std::optional<T> wait(std::chrono::steady_clock::duration timeout = kHang) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, timeout, [&] { return value_.has_value(); });
        return value_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<T> value_;
};

// Holds a queue busy until released, so that later tasks stay pending.
class Gate {
public:
    void block(SerialQueue& queue) {
        queue.async([this] {
            started_.set();
            open_.wait();
        });
        started_.wait();
    }
    void release() { open_.set(); }

private:
    Signal<> started_;
    Signal<> open_;
};

TEST(SerialQueueTest, RunsTasksInOrderOnOneThreadOfItsOwn) {
    SerialQueue queue("ovira.test.fifo");
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    std::vector<bool> current;
    for (int i = 0; i < 500; ++i) {
        queue.async([&, i] {
            order.push_back(i);
            threads.push_back(std::this_thread::get_id());
            current.push_back(queue.isCurrent());
        });
    }
    queue.sync([] {});
    ASSERT_EQ(order.size(), 500u);
    for (int i = 0; i < 500; ++i) EXPECT_EQ(order[i], i);
    for (const auto& id : threads) EXPECT_EQ(id, threads.front());
    EXPECT_NE(threads.front(), std::this_thread::get_id());
    for (const bool onQueue : current) EXPECT_TRUE(onQueue);
    EXPECT_FALSE(queue.isCurrent());
}

TEST(SerialQueueTest, KeepsEachProducersOrder) {
    constexpr int kProducers = 4;
    constexpr int kTasks = 250;
    SerialQueue queue("ovira.test.producers");
    std::vector<std::pair<int, int>> order;  // touched only on the queue
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kTasks; ++i) queue.async([&order, p, i] { order.emplace_back(p, i); });
        });
    }
    for (auto& producer : producers) producer.join();
    queue.sync([] {});
    ASSERT_EQ(order.size(), static_cast<std::size_t>(kProducers * kTasks));
    std::vector<int> next(kProducers, 0);
    for (const auto& [producer, index] : order) {
        EXPECT_EQ(index, next[producer]) << "producer " << producer;
        next[producer] = index + 1;
    }
}

TEST(SerialQueueTest, ThreadIsNamedAfterTheEndOfItsLabel) {
    SerialQueue shortName("ovira.test");
    SerialQueue longName("ai.qorix.OVIRA.networking");
    EXPECT_EQ(shortName.label(), "ovira.test");
    EXPECT_EQ(longName.label(), "ai.qorix.OVIRA.networking");
    std::string first, second;
    shortName.sync([&] { first = currentThreadName(); });
    longName.sync([&] { second = currentThreadName(); });
    EXPECT_EQ(first, "ovira.test");
    EXPECT_EQ(second, "VIRA.networking");  // the kernel keeps 15 characters
}

TEST(SerialQueueTest, SyncWaitsForEarlierTasksAndForItsOwn) {
    SerialQueue queue("ovira.test.sync");
    int value = 0;  // plain on purpose: sync must order the accesses
    queue.async([&] {
        std::this_thread::sleep_for(20ms);
        value = 1;
    });
    int seen = -1;
    std::thread::id ranOn;
    queue.sync([&] {
        seen = value;
        value = 2;
        ranOn = std::this_thread::get_id();
    });
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(value, 2);
    EXPECT_NE(ranOn, std::this_thread::get_id());
}

TEST(SerialQueueTest, SyncFromTheQueueItselfRunsAtOnce) {
    // Everything the queue's thread touches lives on the heap, so that a
    // deadlocked queue can be abandoned and fail the test instead of hanging it.
    struct Scene {
        SerialQueue queue{"ovira.test.inline"};
        std::vector<std::string> order;
        Signal<> done;
    };
    auto scene = std::make_unique<Scene>();
    Scene& s = *scene;
    s.queue.async([&s] {
        s.order.push_back("outer begins");
        s.queue.async([&s] { s.order.push_back("queued later"); });
        s.queue.sync([&s] { s.order.push_back("inner"); });
        s.order.push_back("outer ends");
        s.done.set();
    });
    if (!s.done.wait().has_value()) {
        (void)scene.release();
        FAIL() << "sync on its own queue hung";
    }
    s.queue.sync([] {});
    EXPECT_EQ(s.order, (std::vector<std::string>{"outer begins", "inner", "outer ends", "queued later"}));
}

TEST(SerialQueueTest, SyncPassesTheTasksExceptionOn) {
    SerialQueue queue("ovira.test.throw");
    try {
        queue.sync([] { throw std::runtime_error("boom"); });
        ADD_FAILURE() << "sync should rethrow";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "boom");
    }
    bool ran = false;
    queue.sync([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(SerialQueueTest, AThrowingTaskDoesNotStopTheQueue) {
    SerialQueue queue("ovira.test.survive");
    std::vector<int> ran;
    queue.async([] { throw std::runtime_error("first"); });
    queue.async([&] { ran.push_back(1); });
    queue.async([] { throw 42; });  // not even an exception class
    queue.async([&] { ran.push_back(2); });
    queue.sync([] {});
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(SerialQueueTest, CancelPendingDropsOnlyTasksNotYetStarted) {
    Gate gate;  // outlives the queue, whose thread uses it
    SerialQueue queue("ovira.test.cancel");
    gate.block(queue);
    std::vector<int> ran;
    for (int i = 0; i < 5; ++i) queue.async([&, i] { ran.push_back(i); });
    EXPECT_EQ(queue.pendingCount(), 5u);
    EXPECT_EQ(queue.cancelPending(), 5u);
    EXPECT_EQ(queue.pendingCount(), 0u);
    EXPECT_EQ(queue.cancelPending(), 0u);
    gate.release();  // the running task is not interrupted
    queue.async([&] { ran.push_back(100); });
    queue.sync([] {});
    EXPECT_EQ(ran, std::vector<int>{100});
}

// A sync() whose task is dropped by cancelPending() must not wait forever.
TEST(SerialQueueTest, SyncReturnsWhenItsTaskIsCancelled) {
    Gate gate;
    SerialQueue queue("ovira.test.cancelsync");
    gate.block(queue);
    auto outcome = std::make_shared<Signal<std::string>>();
    auto ran = std::make_shared<std::atomic<bool>>(false);
    // Detached, so that a hang fails this test instead of blocking the process.
    std::thread([&queue, outcome, ran] {
        try {
            queue.sync([ran] { *ran = true; });
            outcome->set("returned");
        } catch (const std::future_error& error) {
            outcome->set(error.code() == std::future_errc::broken_promise ? "broken promise" : error.what());
        } catch (...) {
            outcome->set("other exception");
        }
    }).detach();
    const auto deadline = std::chrono::steady_clock::now() + kHang;
    while (queue.pendingCount() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    ASSERT_EQ(queue.cancelPending(), 1u);
    gate.release();
    const auto result = outcome->wait();
    ASSERT_TRUE(result) << "sync() never returned";
    EXPECT_EQ(*result, "broken promise");
    EXPECT_FALSE(*ran);
}

TEST(SerialQueueTest, DestructionRunsWhatIsQueuedThenJoins) {
    int count = 0;  // plain: the join must make the queue's writes visible
    Gate gate;
    std::thread releaser;
    {
        SerialQueue queue("ovira.test.drain");
        gate.block(queue);
        for (int i = 0; i < 100; ++i) queue.async([&] { ++count; });
        // Released once the destructor has most likely begun, so that the
        // tasks are still waiting when it does.
        releaser = std::thread([&] {
            std::this_thread::sleep_for(100ms);
            gate.release();
        });
    }
    releaser.join();
    EXPECT_EQ(count, 100);
}

TEST(SerialQueueTest, AQueueMayBeDestroyedByItsOwnTask) {
    Gate gate;
    auto* queue = new SerialQueue("ovira.test.self");
    auto after = std::make_shared<Signal<>>();
    gate.block(*queue);
    queue->async([queue] { delete queue; });
    queue->async([after] { after->set(); });  // queued before the destruction: still runs
    gate.release();
    EXPECT_TRUE(after->wait().has_value());
}

TEST(SerialQueueTest, ManyThreadsUseOneQueue) {
    SerialQueue queue("ovira.test.shared");
    std::atomic<int> ran{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                if (i % 3 == 0)
                    queue.sync([&] { ++ran; });
                else
                    queue.async([&] { ++ran; });
                if (t == 0 && i % 50 == 0) (void)queue.pendingCount();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    queue.sync([] {});
    EXPECT_EQ(ran, 800);
}

// --- The main queue --------------------------------------------------------

// Restores the stand-in main queue when a test ends.
struct MainQueueTest : testing::Test {
    ~MainQueueTest() override { MainQueue::setDispatcher({}); }
};

TEST_F(MainQueueTest, TheStandInRunsTasksInOrderOnAnotherThread) {
    MainQueue::setDispatcher({});
    std::mutex mutex;
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    Signal<> done;
    for (int i = 0; i < 50; ++i) {
        MainQueue::async([&, i] {
            std::lock_guard lock(mutex);
            order.push_back(i);
            threads.push_back(std::this_thread::get_id());
        });
    }
    MainQueue::async([&] { done.set(); });
    ASSERT_TRUE(done.wait().has_value());
    std::lock_guard lock(mutex);
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
    for (const auto& id : threads) EXPECT_EQ(id, threads.front());
    EXPECT_NE(threads.front(), std::this_thread::get_id());
}

TEST_F(MainQueueTest, AnInstalledDispatcherReceivesTheTasks) {
    std::mutex mutex;
    std::vector<MainQueue::Task> handed;
    MainQueue::setDispatcher([&](MainQueue::Task task) {
        std::lock_guard lock(mutex);
        handed.push_back(std::move(task));
    });
    std::vector<int> ran;
    MainQueue::async([&] { ran.push_back(1); });
    MainQueue::async([&] { ran.push_back(2); });
    EXPECT_TRUE(ran.empty()) << "the dispatcher decides when tasks run";
    {
        std::lock_guard lock(mutex);
        ASSERT_EQ(handed.size(), 2u);
        for (auto& task : handed) task();
    }
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));

    // Removing it brings the stand-in back.
    MainQueue::setDispatcher({});
    Signal<std::thread::id> standIn;
    MainQueue::async([&] { standIn.set(std::this_thread::get_id()); });
    const auto result = standIn.wait();
    ASSERT_TRUE(result);
    EXPECT_NE(*result, std::this_thread::get_id());
    std::lock_guard lock(mutex);
    EXPECT_EQ(handed.size(), 2u);
}

TEST_F(MainQueueTest, ADispatcherMayQueueMoreFromTheTasksItRuns) {
    // A dispatcher that runs tasks at once, as a GUI thread posting to itself
    // might: queueing from inside must not deadlock.
    MainQueue::setDispatcher([](MainQueue::Task task) { task(); });
    std::vector<std::string> order;
    MainQueue::async([&] {
        order.push_back("outer");
        MainQueue::async([&] { order.push_back("inner"); });
    });
    EXPECT_EQ(order, (std::vector<std::string>{"outer", "inner"}));
}

TEST_F(MainQueueTest, DispatcherChangesWhileTasksAreQueued) {
    std::atomic<int> ran{0};
    std::atomic<bool> stop{false};
    std::thread switcher([&] {
        for (int i = 0; !stop; ++i) {
            if (i % 2 == 0)
                MainQueue::setDispatcher([](MainQueue::Task task) { task(); });
            else
                MainQueue::setDispatcher({});
            std::this_thread::yield();
        }
    });
    std::vector<std::thread> senders;
    for (int t = 0; t < 2; ++t) {
        senders.emplace_back([&] {
            for (int i = 0; i < 300; ++i) MainQueue::async([&] { ++ran; });
        });
    }
    for (auto& sender : senders) sender.join();
    stop = true;
    switcher.join();
    MainQueue::setDispatcher({});
    Signal<> drained;
    MainQueue::async([&] { drained.set(); });  // the stand-in runs in order: all before it are done
    ASSERT_TRUE(drained.wait().has_value());
    EXPECT_EQ(ran, 600);
}

}  // namespace
}  // namespace ovira

#include "platform/SerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/MainQueue.h"

namespace ovira {
namespace {

using namespace std::chrono_literals;

// Waits until the value is set (differs from T{}), at most so long that only
// a hang can exceed it; true when it was set.
template <class T>
bool waitFor(const std::atomic<T>& value) {
    for (int i = 0; i < 20000 && value.load() == T{}; ++i) std::this_thread::sleep_for(1ms);
    return value.load() != T{};
}

// Holds the queue busy until `open` is set, so that later tasks stay pending.
void block(SerialQueue& queue, const std::atomic<bool>& open) {
    std::atomic<bool> started{false};
    queue.async([&] {
        started = true;
        waitFor(open);
    });
    waitFor(started);
}

// The tasks run in the order queued; destroying the queue runs those still
// queued, then joins.
TEST(SerialQueueTest, RunsTasksInOrderAndDrainsOnDestruction) {
    std::atomic<bool> open{false};
    std::vector<int> order, expected;  // plain: the join must make the queue's writes visible
    {
        SerialQueue queue("ovira.test.fifo");
        block(queue, open);
        for (int i = 0; i < 100; ++i) {
            queue.async([&order, i] { order.push_back(i); });
            expected.push_back(i);
        }
        // The gate notices within a millisecond: the tasks are still waiting
        // when the destructor begins.
        open = true;
    }
    EXPECT_EQ(order, expected);
}

// sync() waits for the earlier tasks, runs its own on the queue's thread and
// passes its exception on (one thrown by an async() task is lost, and the
// queue goes on); called from the queue itself it runs the task at once.
TEST(SerialQueueTest, SyncWaitsForEarlierTasksUnlessCalledFromTheQueue) {
    // On the heap and abandoned if it deadlocks, so that the test fails
    // instead of hanging.
    auto* queue = new SerialQueue("ovira.test.sync");
    auto order = std::make_shared<std::vector<std::string>>();
    auto done = std::make_shared<std::atomic<bool>>(false);
    queue->async([queue, order, done] {
        queue->async([queue, order] { order->push_back(queue->isCurrent() ? "queued later" : "elsewhere"); });
        queue->sync([order] { order->push_back("inner"); });
        *done = true;
    });
    ASSERT_TRUE(waitFor(*done)) << "sync() on its own queue hung";
    queue->async([order] {
        std::this_thread::sleep_for(20ms);
        order->push_back("slow");
    });
    queue->async([] { throw std::runtime_error("lost"); });
    EXPECT_THROW(queue->sync([] { throw std::runtime_error("passed on"); }), std::runtime_error);
    queue->sync([&] { order->push_back(queue->isCurrent() ? "on the queue" : "elsewhere"); });
    EXPECT_EQ(*order, (std::vector<std::string>{"inner", "queued later", "slow", "on the queue"}));
    EXPECT_FALSE(queue->isCurrent());
    delete queue;
}

// cancelPending() drops the tasks not yet started; a sync() whose task it
// drops returns (with broken_promise) instead of waiting forever.
TEST(SerialQueueTest, CancelPendingDropsTasksNotYetStarted) {
    std::atomic<bool> open{false};
    SerialQueue queue("ovira.test.cancel");
    block(queue, open);
    auto outcome = std::make_shared<std::atomic<int>>(0);
    queue.async([outcome] { *outcome = 4; });
    // Detached, so that a hang fails this test instead of blocking the process.
    std::thread([&queue, outcome] {
        try {
            queue.sync([] {});
            *outcome = 1;
        } catch (const std::future_error& error) {
            *outcome = error.code() == std::future_errc::broken_promise ? 2 : 3;
        }
    }).detach();
    for (int i = 0; i < 20000 && queue.pendingCount() < 2; ++i) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(queue.cancelPending(), 2u);
    waitFor(*outcome);
    open = true;  // the running task is not interrupted
    queue.sync([] {});
    EXPECT_EQ(*outcome, 2) << "0: sync() hung, 1: it returned normally, 4: a dropped task ran";
}

TEST(SerialQueueTest, AQueueMayBeDestroyedByItsOwnTask) {
    std::atomic<bool> open{false};
    auto after = std::make_shared<std::atomic<bool>>(false);
    auto* queue = new SerialQueue("ovira.test.self");
    block(*queue, open);
    queue->async([queue] { delete queue; });
    queue->async([after] { *after = true; });  // queued before the destruction: still runs
    open = true;
    EXPECT_TRUE(waitFor(*after));
}

TEST(MainQueueTest, AnInstalledDispatcherReceivesTheTasksElseAStandInRunsThem) {
    std::vector<MainQueue::Task> handed;
    MainQueue::setDispatcher([&handed](MainQueue::Task task) { handed.push_back(std::move(task)); });
    int ran = 0;
    MainQueue::async([&ran] { ++ran; });
    MainQueue::setDispatcher({});  // the stand-in comes back
    EXPECT_EQ(ran, 0) << "the dispatcher decides when tasks run";
    EXPECT_EQ(handed.size(), 1u);

    std::atomic<std::thread::id> standIn{};
    MainQueue::async([&standIn] { standIn = std::this_thread::get_id(); });
    EXPECT_TRUE(waitFor(standIn)) << "the stand-in never ran the task";
    EXPECT_NE(standIn.load(), std::this_thread::get_id());
}

}  // namespace
}  // namespace ovira

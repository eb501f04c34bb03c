// The route monitor: reports arrive on the monitor's queue, follow the
// kernel's routes, and stop for good when the monitor is cancelled.
#include <gtest/gtest.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/LinuxNetworkPathMonitor.h"
#include "platform/NetworkPathMonitor.h"

namespace ovira {
namespace {

using Status = NetworkPathStatus;

// Collects reports with the thread they came on; waits for the nth one.
class Reports {
public:
    void attach(NetworkPathMonitor& monitor, const std::shared_ptr<SerialQueue>& queue) {
        monitor.setPathUpdateHandler([this, queue](Status status) {
            std::lock_guard lock(mutex_);
            statuses_.push_back(status);
            onQueue_ = onQueue_ && queue->isCurrent();
            changed_.notify_all();
        });
    }
    std::vector<Status> waitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(10), [&] { return statuses_.size() >= count; });
        return statuses_;
    }
    bool allOnQueue() {
        std::lock_guard lock(mutex_);
        return onQueue_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Status> statuses_;
    bool onQueue_ = true;
};

// Scripted reports follow the script and arrive on the monitor's queue until
// it is cancelled; cancel() waits for a running report and may be called from one.
TEST(NetworkPathMonitor, ScriptedReportsFollowTheScriptUntilCancelled) {
    auto queue = std::make_shared<SerialQueue>("ai.qorix.ekyc.monitor");
    Reports reports;
    ScriptedNetworkPathMonitor monitor(Status::unsatisfied);
    reports.attach(monitor, queue);
    monitor.send(Status::requiresConnection);  // before start: becomes the first report
    monitor.start(queue);
    monitor.send(Status::satisfied);
    EXPECT_EQ(reports.waitFor(2), (std::vector{Status::requiresConnection, Status::satisfied}));

    monitor.cancel();
    monitor.send(Status::unsatisfied);
    queue->sync([] {});
    EXPECT_EQ(reports.waitFor(2).size(), 2u) << "nothing is reported after cancel()";
    EXPECT_TRUE(reports.allOnQueue());

    ScriptedNetworkPathMonitor slow;
    std::atomic<bool> inside{false}, finished{false};
    slow.setPathUpdateHandler([&](Status) {
        inside = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        finished = true;
    });
    slow.start(queue);
    while (!inside) std::this_thread::yield();
    slow.cancel();
    EXPECT_TRUE(finished) << "cancel() returned while a report was still running";

    ScriptedNetworkPathMonitor selfCancelling;
    std::atomic<int> calls{0};
    selfCancelling.setPathUpdateHandler([&](Status) {
        ++calls;
        selfCancelling.cancel();
    });
    selfCancelling.start(queue);
    selfCancelling.send(Status::unsatisfied);
    queue->sync([] {});
    EXPECT_EQ(calls, 1);
}

TEST(LinuxNetworkPathMonitor, LoopbackServiceIsReachableAndReportedOnTheQueue) {
    EXPECT_EQ(LinuxNetworkPathMonitor::evaluate("127.0.0.1"), Status::satisfied);
    EXPECT_EQ(LinuxNetworkPathMonitor::evaluate("localhost"), Status::satisfied);
    EXPECT_EQ(LinuxNetworkPathMonitor::evaluate("API.localhost"), Status::satisfied);

    auto queue = std::make_shared<SerialQueue>("ai.qorix.ekyc.monitor");
    Reports reports;
    LinuxNetworkPathMonitor monitor("127.0.0.1");
    reports.attach(monitor, queue);
    monitor.start(queue);
    EXPECT_EQ(reports.waitFor(1), std::vector{Status::satisfied});
    EXPECT_TRUE(reports.allOnQueue());
}

// Brings the loopback interface of the calling thread's network namespace up.
bool bringLoopbackUp() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return ok;
}

// In a network namespace of its own, where nothing is up yet, the monitor
// starts unsatisfied (the service on loopback and the internet alike) and
// reports the change when loopback comes up.
TEST(LinuxNetworkPathMonitor, FollowsLinkChangesInAFreshNetworkNamespace) {
    std::string skipped;
    std::vector<Status> seen;
    Status internet = Status::satisfied;
    // Namespaces belong to threads: do it all on one that nothing else uses.
    std::thread isolated([&] {
        if (::unshare(CLONE_NEWNET) != 0) {
            skipped = std::string("no network namespace: ") + std::strerror(errno);
            return;
        }
        auto queue = std::make_shared<SerialQueue>("ai.qorix.ekyc.monitor");
        Reports reports;
        LinuxNetworkPathMonitor monitor("127.0.0.1");
        reports.attach(monitor, queue);
        monitor.start(queue);
        reports.waitFor(1);
        if (!bringLoopbackUp()) {
            skipped = "cannot bring loopback up";
            return;
        }
        seen = reports.waitFor(2);
        internet = LinuxNetworkPathMonitor::evaluate("api.ekyc.qorix.ai");
    });
    isolated.join();
    if (!skipped.empty()) GTEST_SKIP() << skipped;
    EXPECT_EQ(seen, (std::vector{Status::unsatisfied, Status::satisfied}));
    EXPECT_EQ(internet, Status::unsatisfied) << "no default route: a named service is out of reach";
}

}  // namespace
}  // namespace ovira

#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/SerialQueue.h"

namespace ovira {

enum class NetworkPathStatus { satisfied, unsatisfied, requiresConnection };

// Watches whether the eKYC service can be reached and reports it on a serial
// queue: once with the status when it starts, then at every change. Set the
// handler before start(); start() once; after cancel() returns no report is
// running or will run (cancel from inside a report is allowed too).
class NetworkPathMonitor {
public:
    using UpdateHandler = std::function<void(NetworkPathStatus)>;

    NetworkPathMonitor() = default;
    virtual ~NetworkPathMonitor() = default;
    NetworkPathMonitor(const NetworkPathMonitor&) = delete;
    NetworkPathMonitor& operator=(const NetworkPathMonitor&) = delete;

    void setPathUpdateHandler(UpdateHandler handler);
    void start(std::shared_ptr<SerialQueue> queue);
    void cancel();

protected:
    virtual void startWatching() = 0;
    virtual void stopWatching() = 0;
    // Queues a report; dropped once cancelled.
    void report(NetworkPathStatus status);

private:
    struct Delivery {
        std::mutex mutex;
        UpdateHandler handler;
        std::shared_ptr<SerialQueue> queue;
        std::atomic<bool> cancelled{false};
    };
    std::shared_ptr<Delivery> delivery_ = std::make_shared<Delivery>();
    std::atomic<bool> started_{false};
};

// Reports what it is told: for tests and demos that need to be offline.
class ScriptedNetworkPathMonitor final : public NetworkPathMonitor {
public:
    explicit ScriptedNetworkPathMonitor(NetworkPathStatus initial = NetworkPathStatus::satisfied)
        : status_(initial) {}
    ~ScriptedNetworkPathMonitor() override { cancel(); }

    // Reports `status` if the monitor has started; otherwise it is the first report.
    void send(NetworkPathStatus status);

private:
    void startWatching() override;
    void stopWatching() override {}

    std::mutex mutex_;
    NetworkPathStatus status_;
    bool watching_ = false;
};

}  // namespace ovira

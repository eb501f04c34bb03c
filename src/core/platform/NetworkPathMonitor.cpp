#include "platform/NetworkPathMonitor.h"

namespace ovira {

void NetworkPathMonitor::setPathUpdateHandler(UpdateHandler handler) {
    std::lock_guard lock(delivery_->mutex);
    delivery_->handler = std::move(handler);
}

void NetworkPathMonitor::start(std::shared_ptr<SerialQueue> queue) {
    if (!queue || started_.exchange(true)) return;
    {
        std::lock_guard lock(delivery_->mutex);
        delivery_->queue = std::move(queue);
    }
    startWatching();
}

void NetworkPathMonitor::cancel() {
    if (delivery_->cancelled.exchange(true)) return;
    if (started_) stopWatching();
    std::shared_ptr<SerialQueue> queue;
    {
        std::lock_guard lock(delivery_->mutex);
        queue = std::move(delivery_->queue);
    }
    // Wait out a report that is running now; from the queue itself this runs inline.
    if (queue) queue->sync([] {});
}

void NetworkPathMonitor::report(NetworkPathStatus status) {
    std::shared_ptr<SerialQueue> queue;
    {
        std::lock_guard lock(delivery_->mutex);
        queue = delivery_->queue;
    }
    if (!queue || delivery_->cancelled) return;
    queue->async([delivery = delivery_, status] {
        if (delivery->cancelled) return;
        UpdateHandler handler;
        {
            std::lock_guard lock(delivery->mutex);
            handler = delivery->handler;
        }
        if (handler) handler(status);
    });
}

void ScriptedNetworkPathMonitor::send(NetworkPathStatus status) {
    std::lock_guard lock(mutex_);
    status_ = status;
    if (watching_) report(status);
}

void ScriptedNetworkPathMonitor::startWatching() {
    std::lock_guard lock(mutex_);
    watching_ = true;
    report(status_);
}

}  // namespace ovira

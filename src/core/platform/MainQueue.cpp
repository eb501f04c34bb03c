#include "platform/MainQueue.h"

#include <memory>
#include <mutex>

#include "platform/SerialQueue.h"

namespace ovira {
namespace {

struct Holder {
    std::mutex mutex;
    MainQueue::Dispatcher dispatcher;
    std::unique_ptr<SerialQueue> standIn;
};

Holder& holder() {
    // Never destroyed: work finishing at exit may still queue its result.
    static auto* instance = new Holder;
    return *instance;
}

}  // namespace

void MainQueue::async(Task task) {
    auto& h = holder();
    MainQueue::Dispatcher dispatcher;
    {
        std::lock_guard lock(h.mutex);
        if (!h.dispatcher) {
            if (!h.standIn) h.standIn = std::make_unique<SerialQueue>("ai.qorix.OVIRA.main");
            h.standIn->async(std::move(task));
            return;
        }
        dispatcher = h.dispatcher;
    }
    dispatcher(std::move(task));
}

void MainQueue::setDispatcher(Dispatcher dispatcher) {
    auto& h = holder();
    std::lock_guard lock(h.mutex);
    h.dispatcher = std::move(dispatcher);
}

}  // namespace ovira

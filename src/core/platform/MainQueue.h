#pragma once

#include <functional>

namespace ovira {

// The queue of the host's GUI thread. The UI layer points it at its event
// loop; until then a library-owned serial queue stands in, so that core-only
// hosts and tests work too.
class MainQueue {
public:
    using Task = std::function<void()>;
    using Dispatcher = std::function<void(Task)>;

    // Queues the task to run on the main thread, after the current task.
    static void async(Task task);

    // Installs the dispatcher (thread-safe). An empty one restores the stand-in.
    static void setDispatcher(Dispatcher dispatcher);

    MainQueue() = delete;
};

}  // namespace ovira

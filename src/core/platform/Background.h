#pragma once

#include <functional>

#include "platform/MainQueue.h"

namespace ovira {

// Runs blocking `work` (a service call) on a thread of its own, so that the
// GUI thread never waits; the task it returns then runs on the main queue.
// Work that throws is logged and its result dropped.
void runInBackground(std::function<MainQueue::Task()> work);

}  // namespace ovira

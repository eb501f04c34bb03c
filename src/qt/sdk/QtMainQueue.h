#pragma once

namespace ovira {

// Points the library's main queue at the Qt event loop of the application
// (QCoreApplication's thread), so that results of background work reach the
// GUI thread. Idempotent and cheap; every screen calls it when created.
void installQtMainQueue();

}  // namespace ovira

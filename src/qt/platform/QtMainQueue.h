#pragma once

namespace ovira {

// Points the core's main queue at the Qt GUI event loop, so that work the
// core sends "to the main thread" runs there. Idempotent; call after the
// QApplication exists. Tasks queued once the application is gone are dropped.
void installQtMainQueue();

}  // namespace ovira

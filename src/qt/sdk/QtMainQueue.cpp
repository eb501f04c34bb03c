#include "sdk/QtMainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <atomic>

#include "platform/MainQueue.h"

namespace ovira {

void installQtMainQueue() {
    static std::atomic<QCoreApplication*> installedFor{nullptr};
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || installedFor.exchange(application) == application) return;
    QPointer<QCoreApplication> guard(application);
    MainQueue::setDispatcher([guard](MainQueue::Task task) {
        // Once the application is gone there is no GUI left to update.
        if (guard) QMetaObject::invokeMethod(guard.data(), std::move(task), Qt::QueuedConnection);
    });
}

}  // namespace ovira

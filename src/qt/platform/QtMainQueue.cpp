#include "platform/QtMainQueue.h"

#include <QCoreApplication>

#include "platform/MainQueue.h"

namespace ovira {

void installQtMainQueue() {
    MainQueue::setDispatcher([](MainQueue::Task task) {
        auto* application = QCoreApplication::instance();
        if (!application) return;
        QMetaObject::invokeMethod(application, std::move(task), Qt::QueuedConnection);
    });
}

}  // namespace ovira

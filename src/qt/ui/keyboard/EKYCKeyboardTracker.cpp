#include "ui/keyboard/EKYCKeyboardTracker.h"

#include <QGuiApplication>
#include <QInputMethod>

namespace ovira {

EKYCKeyboardTracker::EKYCKeyboardTracker(QObject* parent) : QObject(parent) {
    if (auto* input = QGuiApplication::inputMethod()) {
        const auto follow = [this, input] {
            keyboardDidChange(input->isVisible() ? input->keyboardRectangle() : QRectF());
        };
        connect(input, &QInputMethod::visibleChanged, this, follow);
        connect(input, &QInputMethod::keyboardRectangleChanged, this, follow);
    }
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(application, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            state == Qt::ApplicationActive ? resume() : pause();
        });
    }
}

void EKYCKeyboardTracker::keyboardDidChange(const QRectF& frame) {
    if (isPaused || automaticallyPaused_ || frame == frame_) return;
    frame_ = frame;
    // One update per turn of the queue, with where the keyboard is by then.
    if (pending_) return;
    pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pending_ = false;
            Q_EMIT keyboardTrackerDidUpdate({curveEaseOut | beginFromCurrentState, defaultDuration, frame_});
        },
        Qt::QueuedConnection);
}

}  // namespace ovira

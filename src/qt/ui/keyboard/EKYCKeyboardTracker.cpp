#include "ui/keyboard/EKYCKeyboardTracker.h"

#include <QGuiApplication>
#include <QInputMethod>

namespace ovira {

EKYCKeyboardTracker::EKYCKeyboardTracker(QObject* parent) : QObject(parent) {
    if (auto* input = QGuiApplication::inputMethod()) {
        inputVisible_ = input->isVisible();
        connect(input, &QInputMethod::visibleChanged, this, &EKYCKeyboardTracker::onInputMethodChanged);
        connect(input, &QInputMethod::keyboardRectangleChanged, this,
                &EKYCKeyboardTracker::onInputMethodChanged);
    }
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(application, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (state == Qt::ApplicationActive)
                        resume();
                    else
                        pause();
                });
    }
}

EKYCKeyboardTracker::~EKYCKeyboardTracker() = default;

void EKYCKeyboardTracker::setDelegate(Delegate* delegate) {
    delegate_ = delegate;
    delegateObject_ = dynamic_cast<QObject*>(delegate);
}

// The input method reports visibility and its rectangle; they are turned
// into the will/did pairs the tracker follows.
void EKYCKeyboardTracker::onInputMethodChanged() {
    auto* input = QGuiApplication::inputMethod();
    const bool visible = input->isVisible();
    const Notification notification{std::nullopt, QVariant(), input->keyboardRectangle()};
    if (visible) {
        keyboardWillChangeFrame(notification);
        keyboardWillShow(notification);
        keyboardDidShow(notification);
    } else if (inputVisible_) {
        keyboardWillChangeFrame(notification);
        keyboardWillHide(notification);
        keyboardDidHide(notification);
    }
    inputVisible_ = visible;
}

void EKYCKeyboardTracker::readAnimation(const Notification& notification) {
    // The curve is used as option bits as it comes, with begin-from-current-state added.
    if (notification.curve) curve_ = *notification.curve | beginFromCurrentState;
    if (notification.duration.typeId() == QMetaType::Double)
        duration_ = notification.duration.toDouble();
    else
        duration_.reset();
}

void EKYCKeyboardTracker::keyboardWillShow(const std::optional<Notification>& notification) {
    if (isPaused || automaticallyPaused_) return;
    showing_ = true;
    const QRectF previous = frame_;
    if (notification) {
        readAnimation(*notification);
        if (notification->endFrame) frame_ = *notification->endFrame;
    }
    if (frame_ != previous && showing_) requestAdjust();
}

void EKYCKeyboardTracker::keyboardDidShow(const std::optional<Notification>&) {
    requestAdjust();
}

void EKYCKeyboardTracker::keyboardWillHide(const std::optional<Notification>& notification) {
    if (isPaused || automaticallyPaused_) return;
    showing_ = false;
    if (notification) readAnimation(*notification);
    frame_ = QRectF();
    requestAdjust();
}

void EKYCKeyboardTracker::keyboardDidHide(const std::optional<Notification>&) {
    frame_ = QRectF();
    requestAdjust();
}

void EKYCKeyboardTracker::requestAdjust() {
    if (pending_) return;
    const Animation snapshot{curve_.value_or(curveEaseOut | beginFromCurrentState),
                             duration_.value_or(defaultDuration), frame_};
    pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, snapshot] {
            if (delegateObject_ && delegate_) delegate_->keyboardTrackerDidUpdate(snapshot);
            pending_ = false;
        },
        Qt::QueuedConnection);
}

}  // namespace ovira

#include "ui/gesture/TapGestureRecognizer.h"

#include <QMouseEvent>
#include <cmath>

namespace ovira {

TapGestureRecognizer::TapGestureRecognizer(std::function<void(TapGestureRecognizer&)> action, QObject* parent)
    : QObject(parent), action_(std::move(action)) {}

void TapGestureRecognizer::addToView(QWidget* view) {
    removeFromView();
    view_ = view;
    if (view_) view_->installEventFilter(this);
}

void TapGestureRecognizer::removeFromView() {
    if (view_) view_->removeEventFilter(this);
    view_ = nullptr;
    pressed_ = false;
}

QPointF TapGestureRecognizer::locationIn(const QWidget* view) const {
    return view && view_ ? QPointF(view->mapFromGlobal(view_->mapToGlobal(location_))) : location_;
}

bool TapGestureRecognizer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_) return false;
    if (event->type() == QEvent::MouseButtonPress) {
        pressed_ = true;
        pressAt_ = static_cast<QMouseEvent*>(event)->globalPosition();
    } else if (event->type() == QEvent::MouseButtonRelease && pressed_) {
        pressed_ = false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF moved = mouse->globalPosition() - pressAt_;
        if (enabled_ && std::hypot(moved.x(), moved.y()) < 10) {
            location_ = view_->mapFromGlobal(mouse->globalPosition());
            if (action_) action_(*this);
        }
    }
    return false;
}

}  // namespace ovira

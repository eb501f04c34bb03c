#include "ui/gesture/PanGestureRecognizer.h"

#include <QApplication>
#include <QMouseEvent>
#include <cmath>

namespace ovira {

PanGestureRecognizer::PanGestureRecognizer(std::function<void(PanGestureRecognizer&)> action, QObject* parent)
    : QObject(parent), action_(std::move(action)) {}

PanGestureRecognizer::~PanGestureRecognizer() {
    if (qApp) qApp->removeEventFilter(this);
}

void PanGestureRecognizer::addToView(QWidget* view) {
    view_ = view;
    // The application filter sees input on the view's descendants too.
    qApp->installEventFilter(this);
}

void PanGestureRecognizer::removeFromView() {
    if (qApp) qApp->removeEventFilter(this);
    view_ = nullptr;
    reset();
}

void PanGestureRecognizer::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled && (state_ == State::began || state_ == State::changed)) transition(State::cancelled);
    if (!enabled) reset();
}

void PanGestureRecognizer::setShouldBegin(std::function<bool(const PanGestureRecognizer&)> shouldBegin) {
    shouldBegin_ = std::move(shouldBegin);
}

QPointF PanGestureRecognizer::translationIn(const QWidget*) const {
    return current_ - start_;
}

QPointF PanGestureRecognizer::velocityIn(const QWidget*) const {
    return velocity_;
}

QPointF PanGestureRecognizer::locationIn(const QWidget* view) const {
    return view ? QPointF(view->mapFromGlobal(current_)) : current_;
}

void PanGestureRecognizer::reset() {
    tracking_ = false;
    state_ = State::possible;
    samples_.clear();
    velocity_ = {};
}

void PanGestureRecognizer::transition(State state) {
    state_ = state;
    if (action_) action_(*this);
}

void PanGestureRecognizer::sample(qint64 time, QPointF position) {
    current_ = position;
    samples_.push_back({time, position});
    // The velocity of the last tenth of a second of movement.
    while (samples_.size() > 2 && samples_.back().time - samples_.front().time > 100) samples_.pop_front();
    const auto& first = samples_.front();
    const auto& last = samples_.back();
    const qint64 elapsedMs = last.time - first.time;
    velocity_ = elapsedMs > 0 ? (last.position - first.position) * 1000.0 / static_cast<double>(elapsedMs) : QPointF();
}

bool PanGestureRecognizer::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    if (!view_ || !enabled_ || !watched->isWidgetType()) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    // An event that travels up the parents reaches the filter once per
    // parent; handle it once.
    const qint64 time = static_cast<qint64>(mouse->timestamp());
    if (type == lastType_ && time == lastTime_ && mouse->globalPosition() == lastPosition_) return false;
    lastType_ = type;
    lastTime_ = time;
    lastPosition_ = mouse->globalPosition();
    auto* widget = static_cast<QWidget*>(watched);

    if (type == QEvent::MouseButtonPress) {
        if (mouse->button() != Qt::LeftButton || !(widget == view_ || view_->isAncestorOf(widget))) return false;
        const QPointF local = view_->mapFromGlobal(mouse->globalPosition());
        if (leftEdge_ > 0 && local.x() > leftEdge_) return false;
        reset();
        tracking_ = true;
        start_ = mouse->globalPosition();
        sample(time, start_);
    } else if (!tracking_) {
        return false;
    } else if (type == QEvent::MouseMove) {
        sample(time, mouse->globalPosition());
        if (state_ == State::possible) {
            const QPointF moved = current_ - start_;
            if (std::hypot(moved.x(), moved.y()) < minimumDistance()) return false;
            if (shouldBegin_ && !shouldBegin_(*this)) {
                tracking_ = false;
                return false;
            }
            transition(State::began);
        } else {
            transition(State::changed);
        }
    } else {
        sample(time, mouse->globalPosition());
        const bool recognised = state_ == State::began || state_ == State::changed;
        if (recognised) transition(State::ended);
        reset();
    }
    return false;
}

}  // namespace ovira

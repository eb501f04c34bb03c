#include "ui/gesture/DragTracker.h"

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <utility>

namespace ovira {

DragTracker::DragTracker(QWidget* view, qreal leftEdgeWidth, std::function<bool(QPointF)> shouldStart)
    : QObject(view), view_(view), leftEdge_(leftEdgeWidth), shouldStart_(std::move(shouldStart)) {
    // The application's filter sees the input of the view's descendants too;
    // the application forgets a filter once it is destroyed.
    qApp->installEventFilter(this);
}

void DragTracker::setEnabled(bool enabled) {
    enabled_ = enabled;
    tracking_ = tracking_ && enabled;
    if (!enabled && std::exchange(dragging_, false)) Q_EMIT finished(samples_.back().second - start_, {}, true);
}

QPointF DragTracker::velocity() const {
    const auto& [firstTime, first] = samples_.front();
    const auto& [lastTime, last] = samples_.back();
    return lastTime > firstTime ? (last - first) * 1000.0 / static_cast<double>(lastTime - firstTime) : QPointF();
}

bool DragTracker::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    if (!view_ || !enabled_ || !watched->isWidgetType()) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF position = mouse->globalPosition();
    const auto time = static_cast<qint64>(mouse->timestamp());
    if (std::exchange(last_, {type, time, position}) == std::tie(type, time, position)) return false;
    if (type == QEvent::MouseButtonPress) {
        auto* widget = static_cast<QWidget*>(watched);
        tracking_ = mouse->button() == Qt::LeftButton && (widget == view_ || view_->isAncestorOf(widget)) &&
                    (leftEdge_ <= 0 || view_->mapFromGlobal(position).x() <= leftEdge_);
        dragging_ = false;
        samples_.clear();
        start_ = position;
    }
    if (!tracking_) return false;
    samples_.emplace_back(time, position);
    while (samples_.size() > 2 && samples_.back().first - samples_.front().first > 100) samples_.pop_front();
    const QPointF translation = position - start_;
    if (type == QEvent::MouseMove) {
        if (dragging_) {
            Q_EMIT moved(translation);
        } else if (std::hypot(translation.x(), translation.y()) >= 10) {
            tracking_ = dragging_ = !shouldStart_ || shouldStart_(translation);
            if (dragging_) Q_EMIT started(translation);
        }
    } else if (type == QEvent::MouseButtonRelease) {
        tracking_ = false;
        if (std::exchange(dragging_, false)) Q_EMIT finished(translation, velocity(), false);
    }
    return false;
}

}  // namespace ovira

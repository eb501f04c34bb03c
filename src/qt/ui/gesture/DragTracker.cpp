#include "ui/gesture/DragTracker.h"

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <tuple>

namespace ovira {

DragTracker::DragTracker(QWidget* view) : QObject(view), view_(view) {
    // The application's filter sees the input of the view's descendants too.
    qApp->installEventFilter(this);
}

DragTracker::~DragTracker() {
    if (qApp) qApp->removeEventFilter(this);
}

void DragTracker::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) return;
    const bool wasDragging = dragging_;
    tracking_ = dragging_ = false;
    if (wasDragging) Q_EMIT finished(samples_.back().second - start_, {}, true);
}

void DragTracker::sample(qint64 time, QPointF position) {
    samples_.emplace_back(time, position);
    while (samples_.size() > 2 && samples_.back().first - samples_.front().first > 100) samples_.pop_front();
    const auto& [firstTime, first] = samples_.front();
    const auto& [lastTime, last] = samples_.back();
    velocity_ = lastTime > firstTime ? (last - first) * 1000.0 / static_cast<double>(lastTime - firstTime)
                                     : QPointF();
}

bool DragTracker::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    if (!view_ || !enabled_ || !watched->isWidgetType()) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF position = mouse->globalPosition();
    const auto time = static_cast<qint64>(mouse->timestamp());
    if (std::tie(type, time, position) == std::tie(last_.type, last_.time, last_.position)) return false;
    last_ = {type, time, position};
    if (type == QEvent::MouseButtonPress) {
        auto* widget = static_cast<QWidget*>(watched);
        tracking_ = mouse->button() == Qt::LeftButton && (widget == view_ || view_->isAncestorOf(widget)) &&
                    (leftEdge_ <= 0 || view_->mapFromGlobal(position).x() <= leftEdge_);
        dragging_ = false;
        samples_.clear();
        start_ = position;
        if (tracking_) sample(time, position);
        return false;
    }
    if (!tracking_) return false;
    sample(time, position);
    const QPointF translation = position - start_;
    if (type == QEvent::MouseMove) {
        if (dragging_) {
            Q_EMIT moved(translation);
        } else if (std::hypot(translation.x(), translation.y()) >= 10) {
            dragging_ = !shouldStart_ || shouldStart_(translation);
            tracking_ = dragging_;
            if (dragging_) Q_EMIT started(translation);
        }
    } else {
        tracking_ = false;
        if (dragging_) {
            dragging_ = false;
            Q_EMIT finished(translation, velocity_, false);
        }
    }
    return false;
}

}  // namespace ovira

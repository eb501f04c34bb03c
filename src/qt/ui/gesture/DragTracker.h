#pragma once

#include <QEvent>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>

namespace ovira {

// Follows a drag with the left button (touch reaches widgets as mouse input)
// that starts on a widget or any of its descendants, without taking the
// input from them: buttons under the finger still get their presses. The
// drag starts once it has moved 10 points; translation is measured from the
// press, and the velocity, in points per second, over the last tenth of a
// second of the input's own time stamps. GUI thread only.
class DragTracker : public QObject {
    Q_OBJECT
public:
    explicit DragTracker(QWidget* view);
    ~DragTracker() override;

    QWidget* view() const { return view_; }
    bool isEnabled() const { return enabled_; }
    // Turning it off cancels a drag in progress.
    void setEnabled(bool enabled);
    // Only presses within this many points of the view's left edge (0: anywhere).
    void setLeftEdgeWidth(qreal width) { leftEdge_ = width; }
    // Asked as a drag would start; false lets it go.
    void setShouldStart(std::function<bool(QPointF translation)> shouldStart) {
        shouldStart_ = std::move(shouldStart);
    }

Q_SIGNALS:
    void started(QPointF translation);
    void moved(QPointF translation);
    // The drag is over: released (with the velocity of its last moves) or
    // cancelled (velocity zero).
    void finished(QPointF translation, QPointF velocity, bool cancelled);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sample(qint64 time, QPointF position);

    QPointer<QWidget> view_;
    bool enabled_ = true;
    bool tracking_ = false;
    bool dragging_ = false;
    qreal leftEdge_ = 0;
    std::function<bool(QPointF)> shouldStart_;
    QPointF start_;
    QPointF velocity_;
    std::deque<std::pair<qint64, QPointF>> samples_;
    // An event passed up to the parents reaches the filter once per widget.
    struct {
        QEvent::Type type = QEvent::None;
        qint64 time = -1;
        QPointF position;
    } last_;
};

}  // namespace ovira

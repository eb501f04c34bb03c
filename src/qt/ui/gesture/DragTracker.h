#pragma once

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>
#include <tuple>

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
    // Only presses within `leftEdgeWidth` points of the view's left edge
    // count (0: anywhere); `shouldStart`, when given, is asked as a drag
    // would start, and false lets it go.
    explicit DragTracker(QWidget* view, qreal leftEdgeWidth = 0, std::function<bool(QPointF)> shouldStart = {});

    bool isEnabled() const { return enabled_; }
    // Turning it off cancels a drag in progress.
    void setEnabled(bool enabled);

Q_SIGNALS:
    void started(QPointF translation);
    void moved(QPointF translation);
    // The drag is over: released (with the velocity of its last moves) or
    // cancelled (velocity zero).
    void finished(QPointF translation, QPointF velocity, bool cancelled);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointF velocity() const;

    QPointer<QWidget> view_;
    qreal leftEdge_;
    std::function<bool(QPointF)> shouldStart_;
    bool enabled_ = true, tracking_ = false, dragging_ = false;
    QPointF start_;
    std::deque<std::pair<qint64, QPointF>> samples_;
    // An event passed up to the parents reaches the filter once per widget.
    std::tuple<QEvent::Type, qint64, QPointF> last_{QEvent::None, -1, QPointF()};
};

}  // namespace ovira

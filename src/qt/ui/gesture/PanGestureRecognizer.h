#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>

namespace ovira {

// Recognises a drag that starts on a view or any of its descendants, from
// mouse input (touch reaches widgets as mouse input). The drag begins after
// it has moved minimumDistance() points; translation and velocity are in
// points and points per second, measured from the input's own time stamps.
class PanGestureRecognizer : public QObject {
    Q_OBJECT
public:
    enum class State { possible, began, changed, ended, cancelled };

    // The recogniser watches `view` until it is removed or the view is gone.
    explicit PanGestureRecognizer(std::function<void(PanGestureRecognizer&)> action,
                                  QObject* parent = nullptr);
    ~PanGestureRecognizer() override;

    void addToView(QWidget* view);
    void removeFromView();
    QWidget* view() const { return view_; }

    bool isEnabled() const { return enabled_; }
    // Disabling cancels a drag in progress.
    void setEnabled(bool enabled);

    // Asked once a drag has moved far enough; false lets it go unrecognised.
    void setShouldBegin(std::function<bool(const PanGestureRecognizer&)> shouldBegin);
    // Only drags that start within this many points of the view's left edge
    // (0: anywhere).
    void setLeftEdgeWidth(qreal width) { leftEdge_ = width; }
    qreal minimumDistance() const { return 10; }

    State state() const { return state_; }
    QPointF translationIn(const QWidget* view) const;
    QPointF velocityIn(const QWidget* view) const;
    QPointF locationIn(const QWidget* view) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Sample {
        qint64 time;
        QPointF position;
    };
    void transition(State state);
    void reset();
    void sample(qint64 time, QPointF globalPosition);

    std::function<void(PanGestureRecognizer&)> action_;
    std::function<bool(const PanGestureRecognizer&)> shouldBegin_;
    QPointer<QWidget> view_;
    bool enabled_ = true;
    bool tracking_ = false;
    qreal leftEdge_ = 0;
    State state_ = State::possible;
    QPointF start_;
    QPointF current_;
    QPointF velocity_;
    std::deque<Sample> samples_;
    int lastType_ = 0;
    QPointF lastPosition_;
    qint64 lastTime_ = -1;
};

}  // namespace ovira

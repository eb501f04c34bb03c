#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <QVariantAnimation>
#include <functional>
#include <vector>

namespace ovira {

// An interruptible animation of one change, scrubbed by a fraction.
// `animations` applies the change at a progress from 0 (start) to 1 (end);
// the animator can be scrubbed (setFractionComplete), started from where it
// is, reversed, stopped and finished at either end, like a property
// animator of a phone toolkit. GUI thread only.
class PropertyAnimator : public QObject {
    Q_OBJECT
public:
    enum class Position { end, start, current };
    enum class State { inactive, active, stopped };

    PropertyAnimator(double duration, QEasingCurve curve, std::function<void(double progress)> animations,
                     QObject* parent = nullptr);
    ~PropertyAnimator() override;

    // Called once, with the position it ended at, when the animation
    // finishes or is finished; not after stopAnimation(true).
    void addCompletion(std::function<void(Position)> completion);

    State state() const { return state_; }
    bool isRunning() const { return running_; }
    double duration() const { return duration_; }

    // Between 0 and 1; setting it pauses the animator there.
    double fractionComplete() const { return fraction_; }
    void setFractionComplete(double fraction);

    // A reversed animator runs back towards the start.
    bool isReversed() const { return reversed_; }
    void setReversed(bool reversed);

    // Runs from the current fraction to the end (or the start when
    // reversed) over the remaining share of the duration.
    void startAnimation();
    void pauseAnimation();
    // Without finishing: the change stays where it is and no completion
    // runs. Otherwise the animator waits in the stopped state for
    // finishAnimation().
    void stopAnimation(bool withoutFinishing);
    void finishAnimation(Position position);

private:
    void apply(double fraction);
    void complete(Position position);

    double duration_;
    QEasingCurve curve_;
    std::function<void(double)> animations_;
    std::vector<std::function<void(Position)>> completions_;
    QPointer<QVariantAnimation> runner_;
    State state_ = State::inactive;
    double fraction_ = 0;
    bool reversed_ = false;
    bool running_ = false;
    int generation_ = 0;  // invalidates a pending instant finish
};

}  // namespace ovira

#pragma once

namespace ovira {

// Takes the photograph on the user's behalf: once the guidance has said
// "ready" for `settle` seconds, a countdown of `countdown` seconds runs, and
// when it ends the photograph is taken, once. A frame that is not ready
// stops the countdown (it starts again from the top when the card or face is
// good again); the user may stop it, after which nothing fires until
// resume(). Times are seconds on any steady clock. One thread.
class EKYCAutoCapture {
public:
    enum class State {
        waiting,       // for the guidance to say ready
        settling,      // ready, for less than `settle`
        countingDown,  // secondsLeft() to go
        fired,         // the photograph was asked for
        stopped,       // by the user
    };

    struct Timing {
        double settle = 0.5;
        int countdown = 3;
    };

    EKYCAutoCapture() = default;
    explicit EKYCAutoCapture(Timing timing) : timing_(timing) {}

    // The guidance's verdict at `now` (also called on the countdown's ticks
    // with the last verdict). True when the photograph must be taken now;
    // that happens once until reset().
    bool update(bool ready, double now);
    // The user's "stop": the countdown ends and nothing fires until resume().
    void stop();
    void resume();
    // Back to waiting, ready to fire again (the screen shows again after a
    // refused photograph).
    void reset();

    State state() const { return state_; }
    bool isCountingDown() const { return state_ == State::countingDown; }
    // Whole seconds left on the countdown (3, 2, 1); 0 when not counting down.
    int secondsLeft() const { return secondsLeft_; }
    const Timing& timing() const { return timing_; }

private:
    Timing timing_;
    State state_ = State::waiting;
    double since_ = 0;
    int secondsLeft_ = 0;
};

}  // namespace ovira

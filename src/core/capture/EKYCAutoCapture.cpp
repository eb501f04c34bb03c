#include "capture/EKYCAutoCapture.h"

#include <cmath>

namespace ovira {

bool EKYCAutoCapture::update(bool ready, double now) {
    switch (state_) {
        case State::fired:
        case State::stopped:
            return false;
        case State::waiting:
            if (!ready) return false;
            state_ = State::settling;
            since_ = now;
            [[fallthrough]];
        case State::settling:
            if (!ready) {
                state_ = State::waiting;
                return false;
            }
            if (now - since_ < timing_.settle) return false;
            state_ = State::countingDown;
            since_ = now;
            [[fallthrough]];
        case State::countingDown: {
            if (!ready) {
                state_ = State::waiting;
                secondsLeft_ = 0;
                return false;
            }
            const double left = timing_.countdown - (now - since_);
            if (left > 0) {
                secondsLeft_ = static_cast<int>(std::ceil(left));
                return false;
            }
            state_ = State::fired;
            secondsLeft_ = 0;
            return true;
        }
    }
    return false;
}

void EKYCAutoCapture::stop() {
    state_ = State::stopped;
    secondsLeft_ = 0;
}

void EKYCAutoCapture::resume() {
    if (state_ == State::stopped) state_ = State::waiting;
}

void EKYCAutoCapture::reset() {
    state_ = State::waiting;
    secondsLeft_ = 0;
}

}  // namespace ovira

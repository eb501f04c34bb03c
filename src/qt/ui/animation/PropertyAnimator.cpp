#include "ui/animation/PropertyAnimator.h"

#include <QTimer>
#include <algorithm>

#include "ui/animation/ViewAnimation.h"

namespace ovira {

PropertyAnimator::PropertyAnimator(double duration, QEasingCurve curve,
                                   std::function<void(double)> animations, QObject* parent)
    : QObject(parent), duration_(duration), curve_(curve), animations_(std::move(animations)) {}

PropertyAnimator::~PropertyAnimator() {
    if (runner_) runner_->stop();
}

void PropertyAnimator::addCompletion(std::function<void(Position)> completion) {
    completions_.push_back(std::move(completion));
}

void PropertyAnimator::apply(double fraction) {
    fraction_ = std::clamp(fraction, 0.0, 1.0);
    if (animations_) animations_(fraction_);
}

void PropertyAnimator::setFractionComplete(double fraction) {
    if (state_ == State::stopped) return;
    pauseAnimation();
    state_ = State::active;
    apply(fraction);
}

void PropertyAnimator::setReversed(bool reversed) {
    reversed_ = reversed;
}

void PropertyAnimator::pauseAnimation() {
    ++generation_;
    if (runner_) {
        runner_->stop();
        runner_->deleteLater();
    }
    running_ = false;
}

void PropertyAnimator::startAnimation() {
    if (state_ == State::stopped) return;
    pauseAnimation();
    state_ = State::active;
    running_ = true;
    const double from = fraction_;
    const double to = reversed_ ? 0.0 : 1.0;
    const Position target = reversed_ ? Position::start : Position::end;
    const int remainingMs = static_cast<int>(duration_ * 1000 * std::abs(to - from));
    if (!ViewAnimation::areAnimationsEnabled() || remainingMs <= 0) {
        // Finish at the next turn of the event loop, as a running animation would.
        const int generation = generation_;
        QTimer::singleShot(0, this, [this, generation, to, target] {
            if (generation != generation_) return;
            running_ = false;
            apply(to);
            complete(target);
        });
        return;
    }
    auto* runner = new QVariantAnimation(this);
    runner->setStartValue(from);
    runner->setEndValue(to);
    runner->setDuration(remainingMs);
    runner->setEasingCurve(curve_);
    connect(runner, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { apply(value.toDouble()); });
    connect(runner, &QVariantAnimation::finished, this, [this, runner, to, target] {
        if (runner_ != runner) return;
        running_ = false;
        runner->deleteLater();
        apply(to);
        complete(target);
    });
    runner_ = runner;
    runner->start();
}

void PropertyAnimator::stopAnimation(bool withoutFinishing) {
    pauseAnimation();
    if (withoutFinishing) {
        state_ = State::inactive;
        completions_.clear();
    } else {
        state_ = State::stopped;
    }
}

void PropertyAnimator::finishAnimation(Position position) {
    if (state_ != State::stopped) return;
    if (position == Position::start) apply(0);
    if (position == Position::end) apply(1);
    complete(position);
}

void PropertyAnimator::complete(Position position) {
    state_ = State::inactive;
    auto completions = std::move(completions_);
    completions_.clear();
    for (auto& completion : completions) completion(position);
}

}  // namespace ovira

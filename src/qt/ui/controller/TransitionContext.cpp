#include "ui/controller/TransitionContext.h"

#include <algorithm>

namespace ovira {

TransitionContext::TransitionContext(QWidget* containerView, QWidget* fromView, QWidget* toView,
                                     bool animated, bool interactive, QObject* parent)
    : QObject(parent),
      container_(containerView),
      from_(fromView),
      to_(toView),
      animated_(animated),
      interactive_(interactive) {}

void TransitionContext::animateAlongside(std::function<void(qreal)> change) {
    change(progress_);
    alongside_.push_back(std::move(change));
}

void TransitionContext::setProgress(qreal progress) {
    if (completed_) return;
    progress_ = std::clamp<qreal>(progress, 0, 1);
    for (auto& change : alongside_) change(progress_);
}

void TransitionContext::completeTransition(bool didComplete) {
    if (completed_) return;
    setProgress(didComplete ? 1 : 0);
    completed_ = true;
    cancelled_ = !didComplete;
    auto completions = std::move(completions_);
    completions_.clear();
    for (auto& completion : completions) completion(didComplete);
}

void TransitionContext::addCompletion(std::function<void(bool)> completion) {
    completions_.push_back(std::move(completion));
}

}  // namespace ovira

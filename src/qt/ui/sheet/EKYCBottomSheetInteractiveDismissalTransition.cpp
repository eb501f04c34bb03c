#include "ui/sheet/EKYCBottomSheetInteractiveDismissalTransition.h"

#include <QWidget>
#include <cmath>

#include "platform/FatalError.h"

namespace ovira {

EKYCBottomSheetInteractiveDismissalTransition::EKYCBottomSheetInteractiveDismissalTransition(QObject* parent)
    : QObject(parent) {}

void EKYCBottomSheetInteractiveDismissalTransition::relayout() const {
    if (layout) layout();
}

double EKYCBottomSheetInteractiveDismissalTransition::stretch(double t) const {
    const double reach = t > 0 ? std::pow(t, stretchExponent) : -std::pow(-t, stretchExponent);
    return reach / stretchOffset;
}

PropertyAnimator* EKYCBottomSheetInteractiveDismissalTransition::makeHeightAnimator(double height) {
    auto constraint = heightConstraint;
    if (constraint) {
        constraint->constant = height;
        constraint->active = true;
    }
    const double stretched = height + stretchOffset;
    auto* animator = new PropertyAnimator(
        minTransitionDuration, animationCurve,
        [this, constraint, height, stretched](double progress) {
            if (!constraint) return;
            constraint->constant = height + (stretched - height) * progress;
            relayout();
        },
        this);
    animator->addCompletion([this, constraint, height, stretched](PropertyAnimator::Position position) {
        if (!constraint) return;
        constraint->active = position == PropertyAnimator::Position::end;
        constraint->constant = constraint->active ? stretched : height;
        relayout();
    });
    return animator;
}

PropertyAnimator* EKYCBottomSheetInteractiveDismissalTransition::makeOffsetAnimator(
    double offset, TransitionContext* dismissal) {
    auto constraint = bottomConstraint;
    const double from = constraint ? constraint->constant : 0;
    QPointer<TransitionContext> context(dismissal);
    auto* animator = new PropertyAnimator(
        maxTransitionDuration, animationCurve,
        [this, constraint, from, offset, context](double progress) {
            if (constraint) constraint->constant = from + (offset - from) * progress;
            // The backdrop of a dismissal follows the sheet.
            if (context) context->setProgress(progress);
            relayout();
        },
        this);
    animator->addCompletion([this, constraint, offset](PropertyAnimator::Position position) {
        if (constraint) constraint->constant = position == PropertyAnimator::Position::end ? offset : 0;
        relayout();
    });
    if (dismissal) {
        animator->addCompletion([context](PropertyAnimator::Position) {
            if (context) context->completeTransition(!context->transitionWasCancelled());
        });
    }
    return animator;
}

void EKYCBottomSheetInteractiveDismissalTransition::beginPan(QWidget* view, bool interactive) {
    interactiveDismissal = interactive;
    for (PropertyAnimator* animator : {heightAnimator.data(), offsetAnimator.data()}) {
        if (!animator || animator->state() == PropertyAnimator::State::inactive) continue;
        animator->stopAnimation(false);
        animator->finishAnimation(PropertyAnimator::Position::start);
    }
    if (heightAnimator) heightAnimator->deleteLater();
    heightAnimator = makeHeightAnimator(view->height());
    if (!interactive) {
        if (offsetAnimator) offsetAnimator->deleteLater();
        offsetAnimator = makeOffsetAnimator(stretchOffset, nullptr);
    }
}

void EKYCBottomSheetInteractiveDismissalTransition::updatePan(QWidget* view, double translation) {
    const double height = std::max(1, view->height());
    const double progress = translation / height;
    const double reach = stretch(translation);
    if (heightAnimator) heightAnimator->setFractionComplete(-reach);
    if (offsetAnimator) offsetAnimator->setFractionComplete(interactiveDismissal ? progress : reach);
    if (transitionContext) transitionContext->updateInteractiveTransition(progress);
}

void EKYCBottomSheetInteractiveDismissalTransition::endPan(QWidget* view, double translation,
                                                           double velocity) {
    updatePan(view, translation);
    const double progress = translation / std::max(1, view->height());
    const bool finishes = interactiveDismissal && velocity >= dismissalVelocity;
    if (heightAnimator) heightAnimator->setReversed(true);
    if (offsetAnimator) offsetAnimator->setReversed(!finishes);
    if (transitionContext) {
        if (finishes)
            transitionContext->finishInteractiveTransition();
        else
            transitionContext->cancelInteractiveTransition();
    }
    QPointer<PropertyAnimator> height = heightAnimator;
    QPointer<PropertyAnimator> offset = offsetAnimator;
    auto settle = [](const QPointer<PropertyAnimator>& animator) {
        if (!animator || animator->state() == PropertyAnimator::State::inactive) return;
        animator->stopAnimation(false);
        animator->finishAnimation(PropertyAnimator::Position::start);
    };
    if (progress < 0) {
        if (height) {
            height->addCompletion([offset, settle](PropertyAnimator::Position) { settle(offset); });
            height->startAnimation();
        }
    } else if (offset) {
        offset->addCompletion([height, settle](PropertyAnimator::Position) { settle(height); });
        offset->startAnimation();
    }
    interactiveDismissal = false;
}

double EKYCBottomSheetInteractiveDismissalTransition::transitionDuration(TransitionContext*) const {
    return maxTransitionDuration;
}

void EKYCBottomSheetInteractiveDismissalTransition::animateTransition(TransitionContext* context) {
    if (offsetAnimator) {
        offsetAnimator->stopAnimation(true);
        offsetAnimator->deleteLater();
    }
    QWidget* sheet = context->fromView();
    offsetAnimator = makeOffsetAnimator(sheet ? sheet->height() : 0, context);
    offsetAnimator->startAnimation();
}

void EKYCBottomSheetInteractiveDismissalTransition::startInteractiveTransition(TransitionContext* context) {
    if (!context->isInteractive() || !context->fromView()) {
        animateTransition(context);
        return;
    }
    const double fraction = offsetAnimator ? offsetAnimator->fractionComplete() : 0;
    if (offsetAnimator) {
        offsetAnimator->stopAnimation(true);
        offsetAnimator->deleteLater();
    }
    auto* animator = makeOffsetAnimator(context->fromView()->height(), context);
    animator->setFractionComplete(fraction);
    context->updateInteractiveTransition(fraction);
    offsetAnimator = animator;
    transitionContext = context;
}

PropertyAnimator* EKYCBottomSheetInteractiveDismissalTransition::interruptibleAnimator(
    TransitionContext*) const {
    if (!offsetAnimator) fatalError("Somehow the offset animator was not set", "EKYCBottomSheet");
    return offsetAnimator;
}

}  // namespace ovira

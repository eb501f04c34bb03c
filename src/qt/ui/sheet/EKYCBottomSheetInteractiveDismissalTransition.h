#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "ui/animation/PropertyAnimator.h"
#include "ui/controller/TransitionContext.h"
#include "ui/sheet/EKYCBottomSheet.h"

class QWidget;

namespace ovira {

// Moves a sheet with the user's drag: a rubber band of at most
// stretchOffset points in either direction for a sheet that stays, or an
// interactive dismissal that follows the finger and finishes on a flick of
// at least 500 points per second downwards.
class EKYCBottomSheetInteractiveDismissalTransition : public QObject,
                                                      public AnimatedTransitioning,
                                                      public InteractiveTransitioning {
    Q_OBJECT
public:
    static constexpr double dismissalVelocity = 500;  // points per second, downwards
    static constexpr double stretchExponent = 0.33;

    explicit EKYCBottomSheetInteractiveDismissalTransition(QObject* parent = nullptr);

    const double stretchOffset = 16;
    const double maxTransitionDuration = 0.25;
    const double minTransitionDuration = 0.15;
    const QEasingCurve animationCurve{QEasingCurve::InQuad};

    QPointer<TransitionContext> transitionContext;
    QPointer<PropertyAnimator> heightAnimator;
    QPointer<PropertyAnimator> offsetAnimator;
    bool interactiveDismissal = false;
    std::shared_ptr<LayoutConstraint> bottomConstraint;
    std::shared_ptr<LayoutConstraint> heightConstraint;
    // Lays the sheet out again after a constraint changed.
    std::function<void()> layout;

    void beginPan(QWidget* presentedView, bool interactive);
    void updatePan(QWidget* presentedView, double translation);
    void endPan(QWidget* presentedView, double translation, double velocity);

    double transitionDuration(TransitionContext* context) const override;
    void animateTransition(TransitionContext* context) override;
    void startInteractiveTransition(TransitionContext* context) override;
    bool wantsInteractiveStart() const override { return interactiveDismissal; }
    // Stops the library with "Somehow the offset animator was not set"
    // when asked outside a dismissal.
    PropertyAnimator* interruptibleAnimator(TransitionContext* context) const;
    QEasingCurve completionCurve() const { return animationCurve; }
    double completionSpeed() const { return 1.0; }

    // The rubber band's reach for a drag of `translation` points:
    // ±|t|^0.33 ÷ stretchOffset.
    double stretch(double translation) const;

private:
    PropertyAnimator* makeHeightAnimator(double height);
    PropertyAnimator* makeOffsetAnimator(double offset, TransitionContext* dismissal);
    void relayout() const;
};

}  // namespace ovira

#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>

#include "ui/controller/TransitionContext.h"

namespace ovira {

class EKYCBottomSheetPresentationController;

// Hands out the objects that present and dismiss a sheet: a presentation
// controller per presentation, and the drag's transition when the user is
// dragging the sheet away.
class EKYCBottomSheetTransitioningDelegate : public QObject, public TransitioningDelegate {
    Q_OBJECT
public:
    EKYCBottomSheetTransitioningDelegate(double topInset, double cornerRadius, double sizingFactor,
                                         QColor backdropColor, QObject* parent = nullptr);

    // The controller it created last, while it lives.
    QPointer<EKYCBottomSheetPresentationController> bottomSheetPresentationController;
    double preferredSheetTopInset;
    double preferredSheetCornerRadius;
    double preferredSheetSizingFactor;
    QColor preferredSheetBackdropColor;
    bool tapToDismissEnabled = true;
    bool panToDismissEnabled = true;

    PresentationController* presentationController(ViewController* presented, ViewController* presenting,
                                                   ViewController* source) override;
    AnimatedTransitioning* animationControllerForDismissed(ViewController* dismissed) override;
    InteractiveTransitioning* interactionControllerForDismissal(AnimatedTransitioning* animator) override;
};

}  // namespace ovira

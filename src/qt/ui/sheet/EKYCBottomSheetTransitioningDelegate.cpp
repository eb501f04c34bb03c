#include "ui/sheet/EKYCBottomSheetTransitioningDelegate.h"

#include "ui/controller/ViewController.h"
#include "ui/gesture/TapGestureRecognizer.h"
#include "ui/sheet/EKYCBottomSheetInteractiveDismissalTransition.h"
#include "ui/sheet/EKYCBottomSheetPresentationController.h"

namespace ovira {

EKYCBottomSheetTransitioningDelegate::EKYCBottomSheetTransitioningDelegate(
    double topInset, double cornerRadius, double sizingFactor, QColor backdropColor, QObject* parent)
    : QObject(parent),
      preferredSheetTopInset(topInset),
      preferredSheetCornerRadius(cornerRadius),
      preferredSheetSizingFactor(sizingFactor),
      preferredSheetBackdropColor(backdropColor) {}

PresentationController* EKYCBottomSheetTransitioningDelegate::presentationController(
    ViewController* presented, ViewController* presenting, ViewController* source) {
    auto* controller = new EKYCBottomSheetPresentationController(
        presented, presenting ? presenting : source, preferredSheetTopInset, preferredSheetCornerRadius,
        preferredSheetSizingFactor, preferredSheetBackdropColor);
    controller->tapGestureRecognizer()->setEnabled(tapToDismissEnabled);
    controller->setPanToDismissEnabled(panToDismissEnabled);
    bottomSheetPresentationController = controller;
    return controller;
}

AnimatedTransitioning* EKYCBottomSheetTransitioningDelegate::animationControllerForDismissed(
    ViewController* dismissed) {
    auto* controller =
        qobject_cast<EKYCBottomSheetPresentationController*>(dismissed->presentationController());
    if (!controller || !controller->bottomSheetInteractiveDismissalTransition()->interactiveDismissal)
        return nullptr;
    return controller->bottomSheetInteractiveDismissalTransition();
}

InteractiveTransitioning* EKYCBottomSheetTransitioningDelegate::interactionControllerForDismissal(
    AnimatedTransitioning* animator) {
    return dynamic_cast<EKYCBottomSheetInteractiveDismissalTransition*>(animator);
}

}  // namespace ovira

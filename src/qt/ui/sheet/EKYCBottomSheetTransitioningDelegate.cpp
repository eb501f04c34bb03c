#include "ui/sheet/EKYCBottomSheetTransitioningDelegate.h"

#include "ui/sheet/EKYCBottomSheetPresentationController.h"

namespace ovira {

EKYCBottomSheetTransitioningDelegate::EKYCBottomSheetTransitioningDelegate(
    double topInset, double sizingFactor, QColor backdropColor, QObject* parent)
    : QObject(parent),
      preferredSheetTopInset(topInset),
      preferredSheetSizingFactor(sizingFactor),
      preferredSheetBackdropColor(backdropColor) {}

EKYCBottomSheetPresentationController* EKYCBottomSheetTransitioningDelegate::presentationController(
    ViewController* presented, ViewController* presenting) {
    auto* controller = new EKYCBottomSheetPresentationController(
        presented, presenting, preferredSheetTopInset, preferredSheetSizingFactor, preferredSheetBackdropColor);
    controller->setTapToDismissEnabled(tapToDismissEnabled);
    controller->setPanToDismissEnabled(panToDismissEnabled);
    bottomSheetPresentationController = controller;
    return controller;
}

}  // namespace ovira

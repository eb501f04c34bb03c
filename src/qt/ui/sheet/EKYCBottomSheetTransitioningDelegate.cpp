#include "ui/sheet/EKYCBottomSheetTransitioningDelegate.h"

#include "ui/sheet/EKYCBottomSheetPresentationController.h"

namespace ovira {

EKYCBottomSheetTransitioningDelegate::EKYCBottomSheetTransitioningDelegate(
    double topInset, double cornerRadius, double sizingFactor, QColor backdropColor, QObject* parent)
    : QObject(parent),
      preferredSheetTopInset(topInset),
      preferredSheetCornerRadius(cornerRadius),
      preferredSheetSizingFactor(sizingFactor),
      preferredSheetBackdropColor(backdropColor) {}

EKYCBottomSheetPresentationController* EKYCBottomSheetTransitioningDelegate::presentationController(
    ViewController* presented, ViewController* presenting) {
    auto* controller = new EKYCBottomSheetPresentationController(
        presented, presenting, preferredSheetTopInset, preferredSheetCornerRadius, preferredSheetSizingFactor,
        preferredSheetBackdropColor);
    controller->setTapToDismissEnabled(tapToDismissEnabled);
    controller->setPanToDismissEnabled(panToDismissEnabled);
    bottomSheetPresentationController = controller;
    return controller;
}

}  // namespace ovira

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
    return new EKYCBottomSheetPresentationController(presented, presenting, this);
}

}  // namespace ovira

#include "screens/base/EKYCBottomSheetViewControllerBase.h"

#include <QPainter>

#include "ui/sheet/EKYCBottomSheetPresentationController.h"

namespace ovira {

EKYCBottomSheetViewControllerBase::EKYCBottomSheetViewControllerBase(QWidget* parent)
    : EKYCBaseViewControllerBase(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

EKYCBottomSheetTransitioningDelegate* EKYCBottomSheetViewControllerBase::bottomSheetTransitioningDelegate() {
    if (!delegate_) {
        delegate_ = new EKYCBottomSheetTransitioningDelegate(
            preferredSheetTopInset, EKYCBottomSheet::rawValue(sizing_), preferredSheetBackdropColor, this);
    }
    return delegate_;
}

void EKYCBottomSheetViewControllerBase::setPreferredSheetSizing(EKYCBottomSheet::PreferredSizing sizing) {
    sizing_ = sizing;
    bottomSheetTransitioningDelegate()->preferredSheetSizingFactor = EKYCBottomSheet::rawValue(sizing);
}

PresentationController* EKYCBottomSheetViewControllerBase::makePresentationController(
    ViewController* presenting) {
    return bottomSheetTransitioningDelegate()->presentationController(this, presenting);
}

QMargins EKYCBottomSheetViewControllerBase::additionalSafeAreaInsets() const {
    QMargins insets = EKYCBaseViewControllerBase::additionalSafeAreaInsets();
    insets.setTop(insets.top() + static_cast<int>(preferredSheetCornerRadius));
    return insets;
}

void EKYCBottomSheetViewControllerBase::paintEvent(QPaintEvent*) {
    // White, its top corners rounded: the rectangle's bottom corners lie below the sheet.
    const qreal radius = preferredSheetCornerRadius;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0, 0, 0, radius), radius, radius);
}

}  // namespace ovira

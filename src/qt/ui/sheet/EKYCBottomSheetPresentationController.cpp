#include "ui/sheet/EKYCBottomSheetPresentationController.h"

#include <QLayout>
#include <cmath>

#include "ui/controller/TransitionContext.h"
#include "ui/controller/ViewController.h"
#include "ui/gesture/PanGestureRecognizer.h"
#include "ui/gesture/TapGestureRecognizer.h"
#include "ui/sheet/EKYCBottomSheetInteractiveDismissalTransition.h"
#include "ui/view/BackdropView.h"
#include "ui/view/ViewProperties.h"

namespace ovira {

EKYCBottomSheetPresentationController::EKYCBottomSheetPresentationController(
    ViewController* presented, ViewController* presenting, double topInset, double cornerRadius,
    double sizingFactor, QColor backdropColor)
    : PresentationController(presented, presenting),
      topInset_(topInset),
      cornerRadius_(cornerRadius),
      sizingFactor_(sizingFactor),
      backdropColor_(backdropColor),
      transition_(new EKYCBottomSheetInteractiveDismissalTransition(this)) {}

BackdropView* EKYCBottomSheetPresentationController::backdropView() {
    if (!backdrop_) {
        backdrop_ = new BackdropView(backdropColor_, nullptr);
        backdrop_->setAlpha(0);
    }
    return backdrop_;
}

TapGestureRecognizer* EKYCBottomSheetPresentationController::tapGestureRecognizer() {
    if (!tap_) tap_ = new TapGestureRecognizer([this](TapGestureRecognizer& tap) { onTap(tap); }, this);
    return tap_;
}

PanGestureRecognizer* EKYCBottomSheetPresentationController::panGestureRecognizer() {
    if (!pan_) pan_ = new PanGestureRecognizer([this](PanGestureRecognizer& pan) { onPan(pan); }, this);
    return pan_;
}

double EKYCBottomSheetPresentationController::safeAreaTop() const {
    auto* presenting = presentingViewController();
    return presenting ? presenting->safeAreaInsets().top() : 0;
}

QRect EKYCBottomSheetPresentationController::frameOfPresentedViewInContainerView() const {
    auto* container = containerView();
    auto* sheet = presentedViewController();
    if (!container || !sheet) return {};
    const double containerHeight = container->height();
    const double bottom = bottom_ ? bottom_->constant : 0;
    double height = 0;
    if (height_ && height_->active) {
        // A required height: the rubber band may take the sheet past its top limit.
        height = height_->constant;
    } else {
        // The content's own size wins over the sizing factor; the top limit wins over both.
        const int width = container->width();
        const int content =
            sheet->hasHeightForWidth() ? sheet->heightForWidth(width) : sheet->sizeHint().height();
        const double minimum = sheet->layout() ? sheet->layout()->minimumSize().height() : 0;
        height = sizingFactor_ > 0 ? std::max(containerHeight * sizingFactor_, minimum) : content;
        height = std::min(height, containerHeight + bottom - (safeAreaTop() + topInset_));
    }
    const double top = containerHeight + bottom - height;
    return QRect(0, static_cast<int>(std::lround(top)), container->width(),
                 static_cast<int>(std::lround(height)));
}

void EKYCBottomSheetPresentationController::containerViewDidLayoutSubviews() {
    if (auto* backdrop = backdrop_.data(); backdrop && containerView())
        backdrop->setGeometry(containerView()->rect());
    PresentationController::containerViewDidLayoutSubviews();
}

void EKYCBottomSheetPresentationController::presentationTransitionWillBegin() {
    auto* sheet = presentedView();
    if (!sheet) return;
    panGestureRecognizer()->addToView(sheet);
    roundCorners(sheet, {ViewCorner::topLeft, ViewCorner::topRight}, cornerRadius_);
    auto* container = containerView();
    if (!container) return;
    tapGestureRecognizer()->addToView(container);
    auto* backdrop = backdropView();
    backdrop->setParent(container);
    backdrop->setGeometry(container->rect());
    container->installEventFilter(backdrop);
    backdrop->show();
    backdrop->lower();

    bottom_ = std::make_shared<LayoutConstraint>(LayoutConstraint{0, true});
    height_ = std::make_shared<LayoutConstraint>(LayoutConstraint{0, false});
    transition_->bottomConstraint = bottom_;
    transition_->heightConstraint = height_;
    QPointer<EKYCBottomSheetPresentationController> self(this);
    transition_->layout = [self] {
        if (self) self->containerViewDidLayoutSubviews();
    };
    QPointer<BackdropView> dim(backdrop);
    if (auto* coordinator = transitionCoordinator())
        coordinator->animateAlongside([dim](qreal progress) {
            if (dim) dim->setAlpha(shownBackdropAlpha * progress);
        });
}

void EKYCBottomSheetPresentationController::removeDecorations() {
    if (backdrop_) backdrop_->deleteLater();
    if (pan_) pan_->removeFromView();
    if (tap_) tap_->removeFromView();
}

void EKYCBottomSheetPresentationController::presentationTransitionDidEnd(bool completed) {
    if (!completed) removeDecorations();
}

void EKYCBottomSheetPresentationController::dismissalTransitionWillBegin() {
    QPointer<BackdropView> dim(backdrop_);
    const double from = dim ? dim->alpha() : shownBackdropAlpha;
    if (auto* coordinator = transitionCoordinator())
        coordinator->animateAlongside([dim, from](qreal progress) {
            if (dim) dim->setAlpha(from * (1 - progress));
        });
}

void EKYCBottomSheetPresentationController::dismissalTransitionDidEnd(bool completed) {
    if (completed) removeDecorations();
}

void EKYCBottomSheetPresentationController::viewWillTransitionToSize(QSize, TransitionContext* coordinator) {
    // The sheet cannot be dragged while the window changes size.
    panGestureRecognizer()->setEnabled(false);
    QPointer<PanGestureRecognizer> pan(pan_);
    coordinator->addCompletion([pan](bool) {
        if (pan) pan->setEnabled(true);
    });
}

void EKYCBottomSheetPresentationController::onTap(TapGestureRecognizer& tap) {
    auto* sheet = presentedView();
    auto* presenting = presentingViewController();
    if (!sheet || !presenting || !containerView()) return;
    if (!sheet->geometry().contains(tap.locationIn(containerView()).toPoint())) presenting->dismiss(true);
}

void EKYCBottomSheetPresentationController::onPan(PanGestureRecognizer& pan) {
    auto* sheet = presentedViewController();
    if (!sheet) return;
    const double translation = pan.translationIn(sheet).y();
    const double height = std::max(1, sheet->height());
    switch (pan.state()) {
        case PanGestureRecognizer::State::began:
            transition_->beginPan(sheet, panToDismissEnabled_);
            break;
        case PanGestureRecognizer::State::changed:
            if (panToDismissEnabled_ && translation / height > 0 && !sheet->isBeingDismissed()) {
                if (auto* presenting = presentingViewController()) presenting->dismiss(true);
            }
            transition_->updatePan(sheet, translation);
            break;
        default:
            transition_->endPan(sheet, translation, pan.velocityIn(sheet).y());
            break;
    }
}

}  // namespace ovira

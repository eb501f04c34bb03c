#include "ui/controller/PresentationController.h"

#include "ui/controller/TransitionContext.h"
#include "ui/controller/ViewController.h"

namespace ovira {

PresentationController::PresentationController(ViewController* presented, ViewController* presenting)
    : presented_(presented), presenting_(presenting) {}

ViewController* PresentationController::presentedViewController() const {
    return presented_;
}

ViewController* PresentationController::presentingViewController() const {
    return presenting_;
}

QWidget* PresentationController::presentedView() const {
    return presented_;
}

QRect PresentationController::frameOfPresentedViewInContainerView() const {
    return container_ ? container_->rect() : QRect();
}

void PresentationController::containerViewDidLayoutSubviews() {
    if (presentedView() && container_) presentedView()->setGeometry(frameOfPresentedViewInContainerView());
}

void PresentationController::viewWillTransitionToSize(QSize, TransitionContext*) {}

PresentationController::StandardAnimation PresentationController::standardAnimation() const {
    if (presented_ && presented_->modalTransitionStyle() == ViewController::ModalTransitionStyle::crossDissolve)
        return StandardAnimation::crossDissolve;
    return StandardAnimation::coverVertical;
}

}  // namespace ovira

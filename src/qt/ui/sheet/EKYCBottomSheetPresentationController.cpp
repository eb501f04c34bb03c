#include "ui/sheet/EKYCBottomSheetPresentationController.h"

#include <QLayout>
#include <QTimer>
#include <cmath>

#include "ui/controller/ViewController.h"
#include "ui/gesture/DragTracker.h"
#include "ui/sheet/EKYCBottomSheetInteractiveDismissalTransition.h"

namespace ovira {

EKYCBottomSheetPresentationController::EKYCBottomSheetPresentationController(
    ViewController* presented, ViewController* presenting, double topInset, double sizingFactor,
    QColor backdropColor)
    : PresentationController(presented, presenting),
      topInset_(topInset),
      sizingFactor_(sizingFactor),
      backdropColor_(backdropColor),
      transition_(new EKYCBottomSheetInteractiveDismissalTransition([this] { applyProgress(progress()); },
                                                                    this)) {}

QRect EKYCBottomSheetPresentationController::frameOfPresentedViewInContainerView() const {
    auto* container = containerView();
    auto* sheet = presentedViewController();
    if (!container || !sheet) return {};
    const double containerHeight = container->height();
    const int width = std::min(container->width(), maximumWidth);
    double height = 0;
    if (transition_->extraHeight() > 0) {
        // Stretched by a drag upwards, the sheet may pass its top limit.
        height = restHeight_ + transition_->extraHeight();
    } else {
        // The content's own size wins over the sizing factor; the top limit wins over both.
        const int content =
            sheet->hasHeightForWidth() ? sheet->heightForWidth(width) : sheet->sizeHint().height();
        const double minimum = sheet->layout() ? sheet->layout()->minimumSize().height() : 0;
        height = sizingFactor_ > 0 ? std::max(containerHeight * sizingFactor_, minimum) : content;
        auto* presenting = presentingViewController();
        const double safeTop = presenting ? presenting->safeAreaInsets().top() : 0;
        height = std::min(height, containerHeight - (safeTop + topInset_));
    }
    const double top = containerHeight + transition_->bottomOffset() - height;
    return QRect((container->width() - width) / 2, static_cast<int>(std::lround(top)), width,
                 static_cast<int>(std::lround(height)));
}

void EKYCBottomSheetPresentationController::applyProgress(double progress) {
    auto* sheet = presentedViewController();
    if (!sheet || !containerView()) return;
    const QRect frame = frameOfPresentedViewInContainerView();
    sheet->setGeometry(frame.translated(0, static_cast<int>(std::lround(frame.height() * (1 - progress)))));
    setDimming(backdropColor_, shownBackdropAlpha * progress);
}

void EKYCBottomSheetPresentationController::presentationTransitionWillBegin() {
    auto* sheet = presentedViewController();
    auto* container = containerView();
    if (!sheet || !container) return;
    drag_ = new DragTracker(sheet);
    connect(drag_, &DragTracker::started, this, [this](QPointF translation) {
        if (auto* view = presentedViewController()) restHeight_ = view->height();
        finishTransition();
        transition_->beginPan(panToDismissEnabled_);
        onDrag(translation.y(), 0, false);
    });
    connect(drag_, &DragTracker::moved, this, [this](QPointF translation) { onDrag(translation.y(), 0, false); });
    connect(drag_, &DragTracker::finished, this,
            [this](QPointF translation, QPointF velocity, bool) { onDrag(translation.y(), velocity.y(), true); });
}

void EKYCBottomSheetPresentationController::onDrag(double translation, double velocity, bool ended) {
    auto* sheet = presentedViewController();
    auto* presenting = presentingViewController();
    if (!sheet || !presenting || sheet->isBeingDismissed()) return;
    const bool interactive = transition_->interactiveDismissal;
    if (!ended) {
        const double out = transition_->updatePan(translation, restHeight_);
        if (interactive) setProgress(1 - out);
        return;
    }
    if (transition_->endPan(translation, restHeight_, velocity))
        presenting->dismiss(true);
    else if (interactive)
        animateTo(1, true);
}

void EKYCBottomSheetPresentationController::viewWillTransitionToSize(QSize) {
    // The sheet cannot be dragged while the window changes size.
    if (!drag_) return;
    drag_->setEnabled(false);
    QTimer::singleShot(0, drag_, [drag = drag_] {
        if (drag) drag->setEnabled(true);
    });
}

void EKYCBottomSheetPresentationController::containerTapped(QPoint position) {
    auto* sheet = presentedViewController();
    auto* presenting = presentingViewController();
    if (tapToDismissEnabled_ && sheet && presenting && !sheet->geometry().contains(position))
        presenting->dismiss(true);
}

}  // namespace ovira

#include "ui/sheet/EKYCBottomSheetPresentationController.h"

#include <QLayout>
#include <QTimer>
#include <cmath>

#include "ui/controller/ViewController.h"
#include "ui/gesture/DragTracker.h"
#include "ui/sheet/EKYCBottomSheetInteractiveDismissalTransition.h"
#include "ui/sheet/EKYCBottomSheetTransitioningDelegate.h"

namespace ovira {

EKYCBottomSheetPresentationController::EKYCBottomSheetPresentationController(
    ViewController* presented, ViewController* presenting, EKYCBottomSheetTransitioningDelegate* options)
    : PresentationController(presented, presenting),
      options_(options),
      transition_(new EKYCBottomSheetInteractiveDismissalTransition([this] { applyProgress(progress()); },
                                                                    this)) {}

QRect EKYCBottomSheetPresentationController::frameOfPresentedViewInContainerView() const {
    auto* sheet = presentedViewController();
    if (!sheet || !options_) return {};
    const double containerHeight = height();
    const int width = std::min(this->width(), maximumWidth);
    double sheetHeight = 0;
    if (transition_->extraHeight() > 0) {
        // Stretched by a drag upwards, the sheet may pass its top limit.
        sheetHeight = restHeight_ + transition_->extraHeight();
    } else {
        // The content's own size wins over the sizing factor; the top limit wins over both.
        const int content =
            sheet->hasHeightForWidth() ? sheet->heightForWidth(width) : sheet->sizeHint().height();
        const double minimum = sheet->layout() ? sheet->layout()->minimumSize().height() : 0;
        sheetHeight = options_->preferredSheetSizingFactor > 0 ? std::max(containerHeight * options_->preferredSheetSizingFactor, minimum) : content;
        auto* presenting = presentingViewController();
        const double safeTop = presenting ? presenting->safeAreaInsets().top() : 0;
        sheetHeight = std::min(sheetHeight, containerHeight - (safeTop + options_->preferredSheetTopInset));
    }
    const double top = containerHeight + transition_->bottomOffset() - sheetHeight;
    return QRect((this->width() - width) / 2, static_cast<int>(std::lround(top)), width,
                 static_cast<int>(std::lround(sheetHeight)));
}

void EKYCBottomSheetPresentationController::applyProgress(double progress) {
    auto* sheet = presentedViewController();
    if (!sheet || !options_) return;
    const QRect frame = frameOfPresentedViewInContainerView();
    sheet->setGeometry(frame.translated(0, static_cast<int>(std::lround(frame.height() * (1 - progress)))));
    setDimming(options_->preferredSheetBackdropColor, shownBackdropAlpha * progress);
}

void EKYCBottomSheetPresentationController::presentationTransitionWillBegin() {
    auto* sheet = presentedViewController();
    if (!sheet) return;
    drag_ = new DragTracker(sheet);
    connect(drag_, &DragTracker::started, this, [this](QPointF translation) {
        if (auto* view = presentedViewController()) restHeight_ = view->height();
        finishTransition();
        transition_->beginPan(options_ && options_->panToDismissEnabled);
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
    if (options_ && options_->tapToDismissEnabled && sheet && presenting && !sheet->geometry().contains(position))
        presenting->dismiss(true);
}

}  // namespace ovira

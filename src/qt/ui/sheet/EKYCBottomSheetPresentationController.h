#pragma once

#include <QPointer>

#include "ui/controller/PresentationController.h"
#include "ui/gesture/DragTracker.h"

namespace ovira {

class EKYCBottomSheetInteractiveDismissalTransition;
class EKYCBottomSheetTransitioningDelegate;

// Lays a sheet out at the bottom of the window, over a backdrop that dims to
// 30 %, as its transitioning delegate's options say at the time: as tall as its sizing factor asks (or as its content needs, for
// `fit`), never closer than the top inset to the top of the safe area (the
// sheet rounds its own top corners). It rises from the bottom edge and leaves the same
// way. A tap outside it dismisses it; a drag moves it, and cannot start
// while the window changes size. On a window wider than maximumWidth the
// sheet keeps that width, centred.
class EKYCBottomSheetPresentationController : public PresentationController {
    Q_OBJECT
public:
    static constexpr double shownBackdropAlpha = 0.3;
    static constexpr int maximumWidth = 600;

    EKYCBottomSheetPresentationController(ViewController* presented, ViewController* presenting,
                                          EKYCBottomSheetTransitioningDelegate* options);

    DragTracker* dragTracker() const { return drag_; }

    QRect frameOfPresentedViewInContainerView() const override;
    void presentationTransitionWillBegin() override;
    void viewWillTransitionToSize(QSize size) override;
    void containerTapped(QPoint position) override;

protected:
    void applyProgress(double progress) override;
    int transitionDurationMs() const override { return 250; }

private:
    void onDrag(double translation, double velocity, bool ended);

    QPointer<EKYCBottomSheetTransitioningDelegate> options_;
    QPointer<DragTracker> drag_;
    EKYCBottomSheetInteractiveDismissalTransition* transition_;
    double restHeight_ = 0;  // the sheet's height when the drag began
};

}  // namespace ovira

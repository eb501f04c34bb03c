#pragma once

#include <QColor>
#include <QPointer>
#include <memory>

#include "ui/controller/PresentationController.h"
#include "ui/sheet/EKYCBottomSheet.h"

namespace ovira {

class BackdropView;
class EKYCBottomSheetInteractiveDismissalTransition;
class PanGestureRecognizer;
class TapGestureRecognizer;

// Lays a sheet out at the bottom of the window, over a backdrop that dims to
// 30 %, with its top corners rounded: as tall as its sizing factor asks (or
// as its content needs, for `fit`), never closer than the top inset to the
// top of the safe area. A tap outside it dismisses it; a drag moves it.
class EKYCBottomSheetPresentationController : public PresentationController {
    Q_OBJECT
public:
    static constexpr double shownBackdropAlpha = 0.3;

    EKYCBottomSheetPresentationController(ViewController* presented, ViewController* presenting,
                                          double topInset, double cornerRadius, double sizingFactor,
                                          QColor backdropColor);

    BackdropView* backdropView();
    TapGestureRecognizer* tapGestureRecognizer();
    PanGestureRecognizer* panGestureRecognizer();
    EKYCBottomSheetInteractiveDismissalTransition* bottomSheetInteractiveDismissalTransition() const {
        return transition_;
    }

    bool panToDismissEnabled() const { return panToDismissEnabled_; }
    void setPanToDismissEnabled(bool enabled) { panToDismissEnabled_ = enabled; }
    double sheetTopInset() const { return topInset_; }
    double sheetCornerRadius() const { return cornerRadius_; }
    double sheetSizingFactor() const { return sizingFactor_; }
    QColor sheetBackdropColor() const { return backdropColor_; }

    QRect frameOfPresentedViewInContainerView() const override;
    void containerViewDidLayoutSubviews() override;
    void presentationTransitionWillBegin() override;
    void presentationTransitionDidEnd(bool completed) override;
    void dismissalTransitionWillBegin() override;
    void dismissalTransitionDidEnd(bool completed) override;
    void viewWillTransitionToSize(QSize size, TransitionContext* coordinator) override;

private:
    void onTap(TapGestureRecognizer& tap);
    void onPan(PanGestureRecognizer& pan);
    void removeDecorations();
    double safeAreaTop() const;

    double topInset_;
    double cornerRadius_;
    double sizingFactor_;
    QColor backdropColor_;
    bool panToDismissEnabled_ = true;
    QPointer<BackdropView> backdrop_;
    TapGestureRecognizer* tap_ = nullptr;
    PanGestureRecognizer* pan_ = nullptr;
    EKYCBottomSheetInteractiveDismissalTransition* transition_;
    std::shared_ptr<LayoutConstraint> bottom_;
    std::shared_ptr<LayoutConstraint> height_;
};

}  // namespace ovira

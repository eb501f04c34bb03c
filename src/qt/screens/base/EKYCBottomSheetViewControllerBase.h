#pragma once

#include <QColor>
#include <QPointer>

#include "resources/EKYCTheme.h"
#include "screens/base/EKYCBaseViewController.h"
#include "screens/base/EKYCBaseViewControllerBase.h"
#include "ui/sheet/EKYCBottomSheet.h"
#include "ui/sheet/EKYCBottomSheetTransitioningDelegate.h"

namespace ovira {

// The base of every sheet screen, whatever its view model. Set the options
// before presenting; the setters also reach a sheet already on screen.
class EKYCBottomSheetViewControllerBase : public EKYCBaseViewControllerBase {
    Q_OBJECT
public:
    explicit EKYCBottomSheetViewControllerBase(QWidget* parent = nullptr);

    // Created on first use from the options set so far.
    EKYCBottomSheetTransitioningDelegate* bottomSheetTransitioningDelegate();

    double preferredSheetTopInset = 24;
    double preferredSheetCornerRadius = EKYCTheme::radius(8);  // of the top corners
    QColor preferredSheetBackdropColor = Qt::black;

    EKYCBottomSheet::PreferredSizing preferredSheetSizing() const { return sizing_; }
    void setPreferredSheetSizing(EKYCBottomSheet::PreferredSizing sizing);
    bool tapToDismissEnabled() const { return !delegate_ || delegate_->tapToDismissEnabled; }
    void setTapToDismissEnabled(bool enabled) { bottomSheetTransitioningDelegate()->tapToDismissEnabled = enabled; }
    bool panToDismissEnabled() const { return !delegate_ || delegate_->panToDismissEnabled; }
    void setPanToDismissEnabled(bool enabled) { bottomSheetTransitioningDelegate()->panToDismissEnabled = enabled; }

    // Escape closes a sheet as its close button does.
    bool didPressEscape() override {
        dismiss(true);
        return true;
    }
    // The content keeps clear of the rounded corners.
    QMargins additionalSafeAreaInsets() const override;

protected:
    PresentationController* makePresentationController(ViewController* presenting) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<EKYCBottomSheetTransitioningDelegate> delegate_;
    EKYCBottomSheet::PreferredSizing sizing_ = EKYCBottomSheet::PreferredSizing::medium;
};

// A sheet screen over the type of its view model.
template <class VM>
class EKYCBottomSheetViewController : public EKYCBaseViewController<VM, EKYCBottomSheetViewControllerBase> {
public:
    using EKYCBaseViewController<VM, EKYCBottomSheetViewControllerBase>::EKYCBaseViewController;
};

}  // namespace ovira

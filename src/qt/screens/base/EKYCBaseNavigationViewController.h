#pragma once

#include "ui/controller/NavigationController.h"

namespace ovira {

// The flow's navigation container: the library's bar (the "bg_nav"
// background, a white Roboto title, the "ic_back" arrow without text, no
// hairline), portrait screens, and no back-swipe on the first screen.
class EKYCBaseNavigationViewController : public NavigationController {
    Q_OBJECT
public:
    explicit EKYCBaseNavigationViewController(ViewController* root, QWidget* parent = nullptr);

    unsigned supportedInterfaceOrientations() const override;
    bool shouldAutorotate() const override;
    bool gestureRecognizerShouldBegin() const override;

    // With no screen to ask: landscape on a tablet, portrait on a phone.
    static unsigned defaultOrientationMask(UserInterfaceIdiom idiom);
    // The answer for this device, computed once per process.
    static unsigned defaultOrientationMask();

protected:
    void viewDidLoad() override;
};

}  // namespace ovira

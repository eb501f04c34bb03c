#pragma once

#include "ui/controller/NavigationController.h"

namespace ovira {

// The flow's navigation container: the library's bar (the "bg_nav"
// background, a white Roboto title, the "ic_back" arrow without text, no
// hairline) and no back-swipe on the first screen.
class EKYCBaseNavigationViewController : public NavigationController {
    Q_OBJECT
public:
    explicit EKYCBaseNavigationViewController(ViewController* root, QWidget* parent = nullptr);

    bool gestureRecognizerShouldBegin() const override;

protected:
    void viewDidLoad() override;
};

}  // namespace ovira

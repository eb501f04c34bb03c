#include "screens/base/EKYCBaseNavigationViewController.h"

#include "resources/EKYCImage.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "ui/controller/NavigationBar.h"
#include "ui/controller/NavigationItem.h"

namespace ovira {
EKYCBaseNavigationViewController::EKYCBaseNavigationViewController(ViewController* root, QWidget* parent)
    : NavigationController(root, parent) {
    setObjectName(QStringLiteral("EKYCBaseNavigationViewController"));
}

void EKYCBaseNavigationViewController::viewDidLoad() {
    NavigationController::viewDidLoad();
    NavigationBarAppearance appearance;
    appearance.backgroundImage = ImageAsset::image(QStringLiteral("bg_nav"));
    appearance.titleColor = Qt::white;
    appearance.titleFont = systemFont(16);  // the bar grows with it
    appearance.backIndicatorImage = ImageAsset::image(QStringLiteral("ic_back"));
    appearance.hidesShadow = true;  // no hairline under the bar
    navigationBar()->setStandardAppearance(appearance);
    // Back buttons show the arrow only.
    navigationItem()->setBackButtonTitle(QStringLiteral(" "));
    navigationBar()->setBackButtonAccessibleName(accessibleText("a11y.back"));
}

bool EKYCBaseNavigationViewController::gestureRecognizerShouldBegin() const {
    return viewControllers().size() > 1;
}

}  // namespace ovira

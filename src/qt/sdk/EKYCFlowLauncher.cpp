#include "sdk/EKYCFlowLauncher.h"

#include <QApplication>
#include <QWidget>

#include "capture/CaptureScreens.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "sdk/EKYCApplication.h"
#include "sdk/QtMainQueue.h"
#include "ui/controller/NavigationController.h"

namespace ovira {

namespace {

// Lets a host window that is not a library screen present one: an empty,
// invisible screen inside it.
class HostAnchorViewController : public ViewController {
public:
    explicit HostAnchorViewController(QWidget* window) : ViewController(window) {
        setObjectName(QStringLiteral("OVIRAHostAnchor"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(0, 0, 0, 0);
        show();
    }
};

ViewController* screenOfWindow(QWidget* window) {
    if (auto* screen = qobject_cast<ViewController*>(window)) return screen;
    // A library screen filling the window (a container the host embedded) answers for it.
    for (auto* child : window->findChildren<ViewController*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isVisible() && child->geometry() == window->rect()) return child;
    }
    if (auto* anchor =
            window->findChild<ViewController*>(QStringLiteral("OVIRAHostAnchor"), Qt::FindDirectChildrenOnly))
        return anchor;
    return new HostAnchorViewController(window);
}

// A window a user works in: not a menu, tool tip or splash screen.
bool isHostWindow(const QWidget* widget) {
    if (!widget || !widget->isWindow() || !widget->isVisible()) return false;
    const auto type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

}  // namespace

ViewController* EKYCFlowLauncher::topMostViewController() {
    QWidget* window = QApplication::activeModalWidget();
    if (!isHostWindow(window)) window = QApplication::activeWindow();
    if (!isHostWindow(window)) {
        window = nullptr;
        for (auto* candidate : QApplication::topLevelWidgets()) {
            if (isHostWindow(candidate)) {
                window = candidate;
                break;
            }
        }
    }
    if (!window) return nullptr;
    ViewController* screen = screenOfWindow(window);
    while (screen) {
        auto* navigation = qobject_cast<NavigationController*>(screen);
        if (navigation && !navigation->viewControllers().isEmpty() && navigation->visibleViewController()) {
            screen = navigation->visibleViewController();
        } else if (screen->presentedViewController()) {
            screen = screen->presentedViewController();
        } else {
            break;
        }
    }
    return screen;
}

ViewController* EKYCFlowLauncher::launch() {
    installQtMainQueue();
    installCaptureScreens();
    ViewController* top = topMostViewController();
    if (!top) return nullptr;
    auto* introduce = new EKYCIntroduceViewController;
    introduce->setViewModel(makeViewModel<EKYCIntroduceViewModel>());
    auto* navigation = new EKYCBaseNavigationViewController(introduce);
    navigation->setModalTransitionStyle(ViewController::ModalTransitionStyle::crossDissolve);
    top->present(navigation, true);
    return navigation;
}

void EKYCFlowLauncher::install() {
    EKYCApplication::setFlowLauncher([] { launch(); });
}

}  // namespace ovira

// Pulled in by the linker for every host of the ovira library (see its
// INTERFACE link options), so that OVIRA::start() shows the flow without the
// host calling anything of the UI layer.
extern "C" {
extern const int ovira_qt_flow_launcher;
const int ovira_qt_flow_launcher = (ovira::EKYCFlowLauncher::install(), 1);
}

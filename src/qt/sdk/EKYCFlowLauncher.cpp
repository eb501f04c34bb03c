#include "sdk/EKYCFlowLauncher.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "capture/CaptureScreens.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCFlowReport.h"
#include "sdk/QtMainQueue.h"
#include "ui/controller/NavigationController.h"

namespace ovira {

namespace {

const QString kAnchorName = QStringLiteral("OVIRAHostAnchor");

// Lets a host widget that is not a library screen present one: an empty,
// invisible screen inside it.
class HostAnchorViewController : public ViewController {
public:
    explicit HostAnchorViewController(QWidget* host) : ViewController(host) {
        setObjectName(kAnchorName);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(0, 0, 0, 0);
        show();
    }
};

// A window a user works in: not a menu, tool tip or splash screen.
bool isHostWindow(const QWidget* widget) {
    if (!widget || !widget->isWindow() || !widget->isVisible()) return false;
    const auto type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

// The flow on screen. Its address alone says which flow a late signal is
// about: a flow that has already been reported is no longer current.
struct CurrentFlow {
    ViewController* flow = nullptr;
    QPointer<ViewController> guard;
};
CurrentFlow& current() {
    static CurrentFlow instance;
    return instance;
}

void flowHasGone(ViewController* flow) {
    if (current().flow != flow) return;
    current() = {};
    EKYCFlowReport::shared().closed();
}

}  // namespace

ViewController* EKYCFlowLauncher::screenOf(QWidget* widget) {
    if (auto* screen = qobject_cast<ViewController*>(widget)) return screen;
    // A library screen filling the widget (a container the host embedded) answers for it.
    for (auto* child : widget->findChildren<ViewController*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isVisible() && child->geometry() == widget->rect()) return child;
    }
    if (auto* anchor = widget->findChild<ViewController*>(kAnchorName, Qt::FindDirectChildrenOnly))
        return anchor;
    return new HostAnchorViewController(widget);
}

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
    return window ? topOf(screenOf(window)) : nullptr;
}

ViewController* EKYCFlowLauncher::topOf(ViewController* screen) {
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
    ViewController* top = topMostViewController();
    return top ? launchOver(top) : nullptr;
}

ViewController* EKYCFlowLauncher::launchOver(ViewController* presenter) {
    if (!presenter || EKYCFlowReport::shared().isOpen()) return nullptr;
    installQtMainQueue();
    installCaptureScreens();
    auto* introduce = new EKYCIntroduceViewController;
    introduce->setViewModel(makeViewModel<EKYCIntroduceViewModel>());
    auto* navigation = new EKYCBaseNavigationViewController(introduce);
    navigation->setModalTransitionStyle(ViewController::ModalTransitionStyle::crossDissolve);
    return presentFlow(presenter, navigation, true) ? navigation : nullptr;
}

bool EKYCFlowLauncher::presentFlow(ViewController* presenter, ViewController* flow, bool animated) {
    if (!presenter || !flow || !EKYCFlowReport::shared().open()) return false;
    current() = {flow, flow};
    // Dismissed, or taken down with the host's window: either way the flow has gone, once.
    QObject::connect(flow, &ViewController::didDismiss, flow, [flow] { flowHasGone(flow); });
    QObject::connect(flow, &QObject::destroyed, QCoreApplication::instance(), [flow] { flowHasGone(flow); });
    presenter->present(flow, animated);
    return true;
}

ViewController* EKYCFlowLauncher::launchInside(QWidget* parent) {
    if (!parent || EKYCFlowReport::shared().isOpen()) return nullptr;
    // Whatever the flow presents stays within the host's widget.
    parent->setProperty(ViewController::presentationHostProperty, true);
    return launchOver(screenOf(parent));
}

ViewController* EKYCFlowLauncher::currentFlow() {
    return current().guard;
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

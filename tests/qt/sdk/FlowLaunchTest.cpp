// OVIRA::start() from a host: a new session, then the flow over whatever the
// host shows on top, or nothing at all when it shows nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>

#include "ovira/OVIRA.h"
#include "capture/EKYCFrontDetectionViewController.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "sdk/EKYCFlowLauncher.h"
#include "sdk/EKYCUserDefault.h"
#include "support/QtTestSupport.h"

namespace ovira {
namespace {

TEST(FlowLaunch, WithNoWindowTheSessionStartsAndNothingIsShown) {
    for (auto* window : QApplication::topLevelWidgets()) window->hide();
    EKYCUserDefault::clear();
    OVIRA::instance().start();
    test::settle();
    EXPECT_TRUE(EKYCUserDefault::transactionId().has_value()) << "the session starts first";
    EXPECT_EQ(EKYCFlowLauncher::topMostViewController(), nullptr);
}

TEST(FlowLaunch, APlainHostWindowGetsTheFlowRootedAtTheDocumentChoice) {
    QMainWindow host;
    host.resize(390, 844);
    host.show();
    host.activateWindow();
    test::settle();
    const auto before = EKYCUserDefault::transactionId();
    OVIRA::instance().start();
    test::settle();
    EXPECT_NE(EKYCUserDefault::transactionId(), before) << "every start is a new session";

    ViewController* anchor = host.findChild<ViewController*>(QStringLiteral("OVIRAHostAnchor"));
    ASSERT_NE(anchor, nullptr);
    auto* flow = qobject_cast<EKYCBaseNavigationViewController*>(anchor->presentedViewController());
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->modalTransitionStyle(), ViewController::ModalTransitionStyle::crossDissolve);
    ASSERT_EQ(flow->viewControllers().size(), 1);
    auto* introduce = qobject_cast<EKYCIntroduceViewController*>(flow->viewControllers().front());
    ASSERT_NE(introduce, nullptr);
    EXPECT_TRUE(flow->isVisible());
    test::saveScreenshot(&host, "flow-launch");

    // The document choice leads into the capture screens of the flow.
    introduce->openDocumentCapture(EkycTypeDocument::passport);
    test::settle();
    ASSERT_EQ(flow->viewControllers().size(), 2);
    EXPECT_NE(qobject_cast<EKYCFrontDetectionViewController*>(flow->viewControllers().back()), nullptr);

    // A second start presents over the flow on top, not beside it.
    EXPECT_EQ(EKYCFlowLauncher::topMostViewController(), flow->visibleViewController());
    flow->dismiss(false);
    test::settle();
}

TEST(FlowLaunch, TheWalkGoesThroughPresentedScreensAndSkipsEmptyContainers) {
    auto host = test::makeHostWindow();
    auto* modal = new ViewController;
    host->present(modal, false);
    test::settle();
    EXPECT_EQ(EKYCFlowLauncher::topMostViewController(), modal);

    auto* empty = new NavigationController(nullptr);  // no screens: not descended into
    modal->present(empty, false);
    test::settle();
    EXPECT_EQ(EKYCFlowLauncher::topMostViewController(), empty);

    auto* flow = qobject_cast<EKYCBaseNavigationViewController*>(EKYCFlowLauncher::launch());
    ASSERT_NE(flow, nullptr);
    test::settle();
    EXPECT_EQ(empty->presentedViewController(), flow);
}

}  // namespace
}  // namespace ovira

// The flow's navigation container with base screens: the bar, closing,
// the unauthorised alert, the back-swipe and orientations.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "SampleScreens.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "sdk/EKYCUserDefault.h"
#include "support/QtTestSupport.h"
#include "ui/alert/AlertController.h"
#include "ui/alert/QXAlertViewController.h"
#include "ui/alert/QXDialogViewController.h"
#include "ui/controller/NavigationBar.h"

namespace ovira {
namespace {

using test::SampleScreen;
using test::SampleViewModel;

class NavigationTest : public testing::Test {
protected:
    std::unique_ptr<ViewController> host = test::makeHostWindow();
    EKYCBaseNavigationViewController* navigation = nullptr;
    EKYCIntroduceViewController* root = new EKYCIntroduceViewController;

    // The flow's real first screen at the root, the sample screens pushed over it.
    void SetUp() override {
        EKYCUserDefault::setTransactionId("AbCdEfGhIjekyciosapp");
        root->setViewModel(makeViewModel<EKYCIntroduceViewModel>());
        navigation = new EKYCBaseNavigationViewController(root);
        host->present(navigation, true);
        test::settle();
    }
    template <class Screen = SampleScreen, class... Args>
    Screen* screen(Args&&... args) {
        auto* made = new Screen(std::forward<Args>(args)...);
        made->setViewModel(makeViewModel<SampleViewModel>());
        return made;
    }
    QToolButton* leftButton() const { return navigation->navigationBar()->leftButton(); }
    void tapLeftButton() {
        QTest::mouseClick(leftButton(), Qt::LeftButton);
        test::settle();
    }
    template <class Content>
    Content* presentedContent() const {
        auto* alert = qobject_cast<AlertController*>(navigation->presentedViewController());
        return alert ? qobject_cast<Content*>(alert->contentViewController()) : nullptr;
    }
    void tapDialogAction(int index) {
        auto* dialog = presentedContent<QXDialogViewController>();
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->actionButtons().at(index), Qt::LeftButton);
        test::settle();
    }
};

TEST_F(NavigationTest, TheBarShowsTheLibrarysLookWithCloseOrBackButtons) {
    auto* bar = navigation->navigationBar();
    EXPECT_EQ(bar->standardAppearance().backgroundImage.name(), "bg_nav");
    EXPECT_EQ(bar->standardAppearance().backIndicatorImage.name(), "ic_back");
    EXPECT_TRUE(bar->standardAppearance().hidesShadow);
    EXPECT_FALSE(bar->isTranslucent());
    EXPECT_EQ(bar->titleLabel()->text(), "Chọn loại giấy tờ");
    EXPECT_EQ(bar->titleLabel()->font().family(), "Roboto");
    EXPECT_EQ(bar->titleLabel()->font().pixelSize(), 16);
    EXPECT_EQ(bar->titleLabel()->palette().color(QPalette::WindowText), QColor(Qt::white));
    ASSERT_NE(leftButton(), nullptr);
    EXPECT_EQ(leftButton()->objectName(), "leftBarButton") << "the root screen has a close button";
    EXPECT_EQ(navigation->geometry(), host->rect());
    test::saveScreenshot(host.get(), "navigation");

    navigation->pushViewController(screen<test::BackScreen>("Mặt trước giấy tờ"), true);
    test::settle();
    ASSERT_NE(leftButton(), nullptr);
    EXPECT_EQ(leftButton()->objectName(), "backButton");
    EXPECT_TRUE(leftButton()->text().isEmpty()) << "the arrow without text";
    EXPECT_EQ(bar->titleLabel()->text(), "Mặt trước giấy tờ");
    test::saveScreenshot(host.get(), "navigation-pushed");
    tapLeftButton();
    EXPECT_EQ(navigation->viewControllers(), QList<ViewController*>{root});
}

TEST_F(NavigationTest, LeavingFromAPushedScreenGoesBackToTheFirstAndEndsTheSession) {
    auto* pushed = screen("Mặt sau giấy tờ");
    navigation->pushViewController(pushed, false);
    tapLeftButton();
    auto* dialog = presentedContent<QXDialogViewController>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelTitle->text(), "Thông báo");
    EXPECT_EQ(dialog->actionButtons().at(0)->text(), "Thoát");
    EXPECT_EQ(dialog->actionButtons().at(1)->text(), "Ở lại");

    tapDialogAction(1);  // stay: nothing changes
    EXPECT_EQ(navigation->viewControllers().size(), 2);
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    EXPECT_EQ(EKYCUserDefault::transactionId(), "AbCdEfGhIjekyciosapp");

    tapLeftButton();
    tapDialogAction(0);  // leave
    EXPECT_EQ(navigation->viewControllers(), QList<ViewController*>{root});
    EXPECT_EQ(EKYCUserDefault::transactionId(), std::nullopt);
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    EXPECT_EQ(host->presentedViewController(), navigation) << "the flow stays open";
}

TEST_F(NavigationTest, AnUnauthorisedSessionEndsTheWholeFlowOnceAcknowledged) {
    auto* pushed = screen("Ảnh khuôn mặt");
    navigation->pushViewController(pushed, false);
    pushed->viewModel().unAuthorizedPublisher.send(std::nullopt);
    test::settle();
    auto* alert = presentedContent<QXAlertViewController>();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->labelTitle->text(), "Thông báo");
    EXPECT_EQ(alert->labelMessage->text(), "") << "no message: an empty one";
    EXPECT_EQ(alert->buttonAction->text(), "OK");
    EXPECT_FALSE(alert->imageView->pixmap().isNull());
    EXPECT_EQ(navigation->supportedInterfaceOrientations(), 26u)
        << "with an alert on top, the container answers";

    QPointer<EKYCBaseNavigationViewController> flow(navigation);
    QTest::mouseClick(alert->buttonAction, Qt::LeftButton);
    test::settle();
    EXPECT_EQ(host->presentedViewController(), nullptr);
    EXPECT_TRUE(flow.isNull()) << "the flow is gone";
    EXPECT_EQ(EKYCUserDefault::transactionId(), std::nullopt);
}

TEST_F(NavigationTest, EventsOfAPoppedScreenDoNothing) {
    // A request still running keeps the view model alive after its screen is gone.
    auto* pushed = new SampleScreen("Ảnh khuôn mặt");
    auto viewModel = makeViewModel<SampleViewModel>();
    pushed->setViewModel(viewModel);
    navigation->pushViewController(pushed, false);
    EXPECT_EQ(viewModel->loadingPublisher.subscriberCount(), 1u);
    viewModel->loadingPublisher.send(true);  // queued for the screen
    navigation->popViewController(false);
    test::settle();
    EXPECT_EQ(navigation->viewControllers().size(), 1);
    EXPECT_EQ(viewModel->loadingPublisher.subscriberCount(), 0u);
    viewModel->loadingPublisher.send(false);
    viewModel->unAuthorizedPublisher.send(std::string("Hết phiên"));
    test::settle();
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    EXPECT_EQ(host->presentedViewController(), navigation);
    EXPECT_EQ(EKYCUserDefault::transactionId(), "AbCdEfGhIjekyciosapp");
}

TEST_F(NavigationTest, TheBackSwipeIsRefusedOnTheFirstScreenAndPopsFromLaterOnes) {
    EXPECT_FALSE(navigation->gestureRecognizerShouldBegin());
    auto edgeSwipe = [&](int distance) {
        ViewController* top = navigation->topViewController();
        QTest::mousePress(top, Qt::LeftButton, {}, QPoint(8, 300), 1000);
        for (int x = 8; x <= 8 + distance; x += 40) QTest::mouseMove(top->parentWidget(), QPoint(x, 300), 50);
        QTest::mouseRelease(top->parentWidget(), Qt::LeftButton, {}, QPoint(8 + distance, 300), 50);
        test::settle();
    };
    edgeSwipe(300);
    EXPECT_EQ(navigation->viewControllers().size(), 1);

    navigation->pushViewController(screen<test::BackScreen>("2"), false);
    EXPECT_TRUE(navigation->gestureRecognizerShouldBegin());
    edgeSwipe(120);  // slow and short: stays
    EXPECT_EQ(navigation->viewControllers().size(), 2);
    EXPECT_EQ(navigation->topViewController()->pos(), QPoint(0, 0));
    edgeSwipe(280);
    EXPECT_EQ(navigation->viewControllers(), QList<ViewController*>{root});
}

TEST_F(NavigationTest, OrientationsComeFromTheVisibleScreen) {
    EXPECT_EQ(navigation->supportedInterfaceOrientations(), 2u);
    EXPECT_FALSE(navigation->shouldAutorotate());
    EXPECT_EQ(EKYCBaseNavigationViewController::defaultOrientationMask(UserInterfaceIdiom::pad), 24u);
    EXPECT_EQ(EKYCBaseNavigationViewController::defaultOrientationMask(UserInterfaceIdiom::phone), 2u);
    EKYCBaseNavigationViewController empty(nullptr);
    EXPECT_EQ(empty.supportedInterfaceOrientations(),
              EKYCBaseNavigationViewController::defaultOrientationMask());
    EXPECT_FALSE(empty.shouldAutorotate());
}

}  // namespace
}  // namespace ovira

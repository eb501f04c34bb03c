// The base screen (set-up order, life events, the loading overlay, its fatal
// message) and the flow's navigation container with base screens (the bar,
// closing, the unauthorised alert, the back-swipe and orientations).
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <string>
#include <thread>
#include <vector>

#include "FlowScreenSupport.h"
#include "screens/base/EKYCBaseViewController.h"
#include "screens/base/LoadingOverlayView.h"
#include "sdk/EKYCUserDefault.h"
#include "ui/controller/NavigationBar.h"
#include "ui/controller/NavigationItem.h"
#include "ui/view/ActivityIndicatorView.h"

namespace ovira {
namespace {

// Where the sample screens and view models note what happened to them.
struct Journal {
    std::vector<std::string>* entries = nullptr;
    void note(const std::string& entry) const {
        if (entries) entries->push_back(entry);
    }
};

// Records what its screen tells it.
class SampleViewModel : public EKYCBaseViewModel {
public:
    explicit SampleViewModel(std::vector<std::string>* journal = nullptr) : journal_{journal} {}
    void onViewDidLoad() override { journal_.note("vm.didLoad"); }
    void onViewWillAppear() override { journal_.note("vm.willAppear"); }
    void onViewDidAppear() override { journal_.note("vm.didAppear"); }
    void onViewWillDisappear() override { journal_.note("vm.willDisappear"); }
    void onViewDidDisappear() override { journal_.note("vm.didDisappear"); }

private:
    Journal journal_;
};

// A screen that records its set-up steps and loading changes.
class SampleScreen : public EKYCBaseViewController<SampleViewModel> {
public:
    explicit SampleScreen(QString title = QString(), std::vector<std::string>* journal = nullptr)
        : title_(std::move(title)), journal_{journal} {
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
    }

    void setupUI() override {
        journal_.note("setupUI");
        EKYCBaseViewController::setupUI();
        navigationItem()->setTitle(title_);
    }
    void bindViewModel() override {
        journal_.note("bindViewModel");
        EKYCBaseViewController::bindViewModel();
    }
    void configure() override {
        journal_.note("configure");
        if (!skipsBaseConfigure) EKYCBaseViewController::configure();
    }
    void showLoading() override {
        ++overlaysShown;
        EKYCBaseViewController::showLoading();
    }

    bool skipsBaseConfigure = false;
    int overlaysShown = 0;

protected:
    QString title_;
    Journal journal_;
};

// A screen that keeps the back button instead of the close button.
class BackScreen : public SampleScreen {
public:
    using SampleScreen::SampleScreen;
    void setupUI() override { navigationItem()->setTitle(title_); }
};

TEST(BaseScreen, LoadsInOrderReportsItsLifeToTheViewModelAndAnswersPortraitOnly) {
    std::vector<std::string> journal;
    SampleScreen screen("Màn hình", &journal);
    screen.setViewModel(makeViewModel<SampleViewModel>(&journal));
    screen.resize(390, 844);
    screen.show();
    screen.hide();
    EXPECT_EQ(journal, (std::vector<std::string>{"setupUI", "bindViewModel", "configure", "vm.didLoad",
                                                 "vm.willAppear", "vm.didAppear", "vm.willDisappear",
                                                 "vm.didDisappear"}));
    const auto& close = screen.navigationItem()->leftBarButtonItem();
    ASSERT_TRUE(close.has_value());
    EXPECT_EQ(close->image.name(), "ic_close");

    // A screen whose configure does not call the base gives its view model no didLoad.
    journal.clear();
    SampleScreen own("", &journal);
    own.skipsBaseConfigure = true;
    own.setViewModel(makeViewModel<SampleViewModel>(&journal));
    own.loadViewIfNeeded();
    EXPECT_EQ(journal, (std::vector<std::string>{"setupUI", "bindViewModel", "configure"}));
}

TEST(BaseScreen, TheLoadingOverlayFollowsEventsOnTheGuiThreadOnce) {
    auto screen = std::make_unique<SampleScreen>();
    auto viewModel = makeViewModel<SampleViewModel>();
    screen->setViewModel(viewModel);
    screen->resize(390, 844);
    screen->show();
    auto* overlay = screen->findChild<LoadingOverlayView*>();
    ASSERT_NE(overlay, nullptr);

    viewModel->loadingPublisher.send(false);  // while hidden: nothing
    viewModel->loadingPublisher.send(true);
    EXPECT_FALSE(screen->isLoading()) << "moved to the GUI thread's queue first";
    viewModel->loadingPublisher.send(true);
    test::settle();
    EXPECT_TRUE(screen->isLoading());
    EXPECT_EQ(screen->overlaysShown, 1);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->geometry(), screen->rect());
    auto* spinner = screen->activityIndicator();
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_EQ(spinner->geometry(), QRect(145, 372, 100, 100));
    // A square rounded by 12 points: 2 points in from each corner the screen
    // shows through, 5 points in the spinner's dark grey.
    const QColor around = test::pixelAt(screen.get(), spinner->geometry().topLeft() - QPoint(3, 3));
    for (const QColor& color : test::cornerPixels(screen.get(), spinner, 2)) EXPECT_EQ(color, around);
    for (const QColor& color : test::cornerPixels(screen.get(), spinner, 5))
        EXPECT_LT(color.lightness(), around.lightness() - 40);
    EXPECT_EQ(spinner->color(), QColor(Qt::white));
    EXPECT_NEAR(spinner->backgroundColor().alphaF(), 0.5, 0.01);
    test::saveScreenshot(screen.get(), "loading");

    // The overlay follows later size changes of the screen.
    screen->resize(320, 568);
    EXPECT_EQ(overlay->geometry(), screen->rect());
    EXPECT_EQ(spinner->geometry().center(), screen->rect().center());

    // An end published on another thread still lands on the GUI thread.
    std::thread([viewModel] { viewModel->loadingPublisher.send(false); }).join();
    test::settle();
    EXPECT_FALSE(screen->isLoading());
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_FALSE(spinner->isAnimating());

    // Once the screen is gone, its events do nothing.
    viewModel->loadingPublisher.send(true);
    screen.reset();
    test::settle();
    viewModel->loadingPublisher.send(true);
    viewModel->unAuthorizedPublisher.send(std::string("Hết phiên"));
    test::settle();
    EXPECT_EQ(viewModel->loadingPublisher.subscriberCount(), 0u);
}

TEST(BaseScreen, WithoutAViewModelItStopsNamingTheViewModelType) {
    SampleScreen screen;
    auto report = test::fatalReportOf([&] { screen.loadViewIfNeeded(); });
    EXPECT_EQ(report.message, "Must invoke SampleViewModel");
    EXPECT_EQ(report.source, "EKYCBaseViewController");
    report = test::fatalReportOf([&] { screen.viewModel(); });
    EXPECT_EQ(report.message, "Must invoke SampleViewModel");
    EXPECT_FALSE(screen.hasViewModel());
}

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
};

TEST_F(NavigationTest, TheBarShowsTheLibrarysLookWithCloseOrBackButtons) {
    auto* bar = navigation->navigationBar();
    EXPECT_EQ(bar->standardAppearance().backgroundImage.name(), "bg_nav");
    EXPECT_EQ(bar->standardAppearance().backIndicatorImage.name(), "ic_back");
    EXPECT_TRUE(bar->standardAppearance().hidesShadow);
    EXPECT_EQ(bar->titleLabel()->text(), "Chọn loại giấy tờ");
    EXPECT_EQ(bar->titleLabel()->font().family(), "Roboto");
    EXPECT_EQ(bar->titleLabel()->font().pixelSize(), 16);
    EXPECT_EQ(bar->titleLabel()->palette().color(QPalette::WindowText), QColor(Qt::white));
    ASSERT_NE(leftButton(), nullptr);
    EXPECT_EQ(leftButton()->objectName(), "leftBarButton") << "the root screen has a close button";
    EXPECT_EQ(leftButton()->accessibleName(), "Đóng") << "an icon, named for screen readers";
    EXPECT_EQ(navigation->geometry(), host->rect());
    test::saveScreenshot(host.get(), "navigation");

    navigation->pushViewController(screen<BackScreen>("Mặt trước giấy tờ"), true);
    test::settle();
    ASSERT_NE(leftButton(), nullptr);
    EXPECT_EQ(leftButton()->objectName(), "backButton");
    EXPECT_TRUE(leftButton()->text().isEmpty()) << "the arrow without text";
    EXPECT_EQ(leftButton()->accessibleName(), "Quay lại");
    EXPECT_EQ(bar->titleLabel()->text(), "Mặt trước giấy tờ");
    test::saveScreenshot(host.get(), "navigation-pushed");
    test::tap(leftButton());
    EXPECT_EQ(navigation->viewControllers(), QList<ViewController*>{root});
}

TEST_F(NavigationTest, LeavingFromAPushedScreenGoesBackToTheFirstAndEndsTheSession) {
    auto* pushed = screen("Mặt sau giấy tờ");
    navigation->pushViewController(pushed, false);
    test::tap(leftButton());
    auto* dialog = test::dialogContent(test::presentedAlert(navigation));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelTitle->text(), "Thông báo");
    EXPECT_EQ(dialog->actionButtons().at(0)->text(), "Thoát");
    EXPECT_EQ(dialog->actionButtons().at(1)->text(), "Ở lại");

    test::tap(dialog->actionButtons().at(1));  // stay: nothing changes
    EXPECT_EQ(navigation->viewControllers().size(), 2);
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    EXPECT_EQ(EKYCUserDefault::transactionId(), "AbCdEfGhIjekyciosapp");

    test::tap(leftButton());
    test::tap(test::dialogButton(test::presentedAlert(navigation), "Thoát"));
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
    auto* alert = test::alertContent(test::presentedAlert(navigation));
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->labelTitle->text(), "Thông báo");
    EXPECT_EQ(alert->labelMessage->text(), "") << "no message: an empty one";
    EXPECT_EQ(alert->buttonAction->text(), "OK");
    EXPECT_FALSE(alert->imageView->pixmap().isNull());

    QPointer<EKYCBaseNavigationViewController> flow(navigation);
    test::tap(alert->buttonAction);
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

    navigation->pushViewController(screen<BackScreen>("2"), false);
    EXPECT_TRUE(navigation->gestureRecognizerShouldBegin());
    edgeSwipe(120);  // slow and short: stays
    EXPECT_EQ(navigation->viewControllers().size(), 2);
    EXPECT_EQ(navigation->topViewController()->pos(), QPoint(0, 0));
    edgeSwipe(280);
    EXPECT_EQ(navigation->viewControllers(), QList<ViewController*>{root});
}

}  // namespace
}  // namespace ovira

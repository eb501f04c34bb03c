// The base screen: set-up order, life events, the loading overlay, and its fatal message.
#include <gtest/gtest.h>

#include <QTest>
#include <thread>

#include "SampleScreens.h"
#include "screens/base/LoadingOverlayView.h"
#include "support/QtTestSupport.h"
#include "ui/controller/NavigationItem.h"
#include "ui/view/ActivityIndicatorView.h"
#include "ui/view/ViewProperties.h"

namespace ovira {
namespace {

using test::SampleScreen;
using test::SampleViewModel;

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
    EXPECT_TRUE(close->rendersOriginal);
    EXPECT_FALSE(screen.shouldAutorotate());
    EXPECT_EQ(screen.supportedInterfaceOrientations(), 2u);
    EXPECT_EQ(screen.preferredInterfaceOrientationForPresentation(), InterfaceOrientation::portrait);

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
    EXPECT_EQ(fCornerRadius(spinner), 12);
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

}  // namespace
}  // namespace ovira

// Bottom sheets (sizing, backdrop, taps, the rubber band, drag-to-dismiss and
// a real animated run) and the keyboard tracker (show and hide handling,
// pausing, coalesced updates).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <set>

#include "resources/FontConvertible.h"
#include "support/QtTestSupport.h"
#include "ui/animation/ViewAnimation.h"
#include "ui/keyboard/EKYCKeyboardTracker.h"
#include "ui/sheet/EKYCBottomSheetInteractiveDismissalTransition.h"
#include "ui/sheet/EKYCBottomSheetPresentationController.h"
#include "screens/base/EKYCBottomSheetViewControllerBase.h"

namespace ovira {
namespace {

using Sizing = EKYCBottomSheet::PreferredSizing;

class SheetViewModel : public EKYCBaseViewModel {};

// A guide-like sheet: a heading and three tips, 240 points of content.
class GuideSheet : public EKYCBottomSheetViewController<SheetViewModel> {
public:
    GuideSheet() {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(24, 24, 24, 24);
        layout->setSpacing(16);
        auto* title = new QLabel("Lưu ý khi chụp ảnh giấy tờ");
        title->setFont(boldSystemFont(18));
        layout->addWidget(title);
        for (const char* tip : {"Dùng giấy tờ gốc, còn hạn sử dụng và đặt trọn trong khung hình.",
                                "Chụp ở nơi đủ ánh sáng, tránh bị lóa hoặc đổ bóng.",
                                "Giữ máy thật chắc để ảnh rõ nét, không bị mờ nhòe."}) {
            auto* label = new QLabel(QStringLiteral("•  ") + QString::fromUtf8(tip));
            label->setWordWrap(true);
            label->setFont(systemFont(15));
            layout->addWidget(label);
        }
        layout->addStretch();
        setViewModel(makeViewModel<SheetViewModel>());
    }
};

class SheetTest : public testing::Test {
protected:
    std::unique_ptr<ViewController> host = test::makeHostWindow();

    GuideSheet* present(Sizing sizing, bool tapToDismiss = true, bool panToDismiss = false) {
        auto* sheet = new GuideSheet;
        sheet->setPreferredSheetSizing(sizing);
        sheet->setTapToDismissEnabled(tapToDismiss);
        sheet->setPanToDismissEnabled(panToDismiss);
        host->present(sheet, true);
        test::settle();
        return sheet;
    }
    QWidget* container() const { return host->findChild<QWidget*>("presentationContainer"); }
    void clickAt(QPoint point) {
        QTest::mouseClick(host->windowHandle(), Qt::LeftButton, {}, point);
        test::settle();
    }

    // A drag on the sheet: moves of `step` points every `intervalMs`, then,
    // unless the finger stays down, a release one step further on.
    void drag(QWidget* sheet, int steps, int step, int intervalMs, bool release = true) {
        QWidget* layer = container();
        QPoint at = sheet->mapTo(layer, QPoint(sheet->width() / 2, 60));
        QTest::mousePress(sheet, Qt::LeftButton, {}, QPoint(sheet->width() / 2, 60), 1000);
        for (int i = 0; i < steps; ++i) QTest::mouseMove(layer, at += QPoint(0, step), intervalMs);
        if (release) QTest::mouseRelease(layer, Qt::LeftButton, {}, at + QPoint(0, step), intervalMs);
    }
};

TEST_F(SheetTest, SizingDecidesTheHeightWithinTheTopInset) {
    const struct {
        Sizing sizing;
        int height;
    } cases[] = {{Sizing::small, 211}, {Sizing::medium, 422}, {Sizing::large, 633}, {Sizing::fill, 844 - 24}};
    for (const auto& c : cases) {
        auto* sheet = present(c.sizing);
        EXPECT_EQ(sheet->height(), c.height);
        EXPECT_EQ(sheet->geometry().bottom(), 843) << "sits on the bottom edge";
        EXPECT_EQ(sheet->width(), 390);
        if (c.sizing == Sizing::fill) {
            // fill stops 24 points below the top; its content is inset 8 more for the rounded corners.
            EXPECT_EQ(sheet->y(), 24);
            EXPECT_EQ(sheet->safeAreaInsets().top(), 8);
            EXPECT_EQ(sheet->layout()->contentsRect().top(), 8 + 24);
        }
        host->dismiss(false);
        test::settle();
    }
    // fit: as tall as the content asks.
    auto* fitted = present(Sizing::fit);
    EXPECT_EQ(fitted->height(),
              fitted->heightForWidth(390) > 0 ? fitted->heightForWidth(390) : fitted->sizeHint().height());
    EXPECT_LT(fitted->height(), 422);
    host->dismiss(false);
    test::settle();

    // A landscape desktop window: the sheet keeps a readable width, centred, still on the bottom edge.
    host->resize(1280, 800);
    test::settle();
    auto* wide = present(Sizing::medium);
    EXPECT_EQ(wide->geometry(), QRect((1280 - 600) / 2, 400, 600, 400));
    host->resize(500, 800);
    test::settle();
    EXPECT_EQ(wide->geometry(), QRect(0, 400, 500, 400)) << "narrower than the limit: the whole width";
}

TEST_F(SheetTest, OnlyTheTopCornersAreRounded) {
    auto* sheet = present(Sizing::medium);
    // Rounded by 8 points: the dimmed page shows 1 point in along the top
    // corners' diagonals, the white sheet 4 points in and at its bottom corners.
    const auto at1 = test::cornerPixels(host.get(), sheet, 1);
    const auto at4 = test::cornerPixels(host.get(), sheet, 4);
    const auto at0 = test::cornerPixels(host.get(), sheet, 0);
    EXPECT_LT(at1[0].lightness(), 200);
    EXPECT_LT(at1[1].lightness(), 200);
    EXPECT_EQ(at4[0], QColor(Qt::white));
    EXPECT_EQ(at4[1], QColor(Qt::white));
    EXPECT_EQ(at0[2], QColor(Qt::white));
    EXPECT_EQ(at0[3], QColor(Qt::white));
}

TEST_F(SheetTest, BackdropDimsToAThirdAndATapOutsideDismissesUnlessTurnedOff) {
    auto* sheet = present(Sizing::medium);
    EXPECT_NEAR(test::dimmingOver(host.get()), 0.3, 1e-3);
    const QColor dimmed = test::pixelAt(host.get(), QPoint(195, 100));
    test::saveScreenshot(host.get(), "sheet");

    clickAt(sheet->geometry().center());
    EXPECT_EQ(host->presentedViewController(), sheet) << "a tap on the sheet itself does nothing";
    clickAt(QPoint(195, 100));
    EXPECT_EQ(host->presentedViewController(), nullptr);
    EXPECT_EQ(test::dimmingOver(host.get()), 0);
    EXPECT_NEAR(dimmed.lightnessF(), 0.7 * test::pixelAt(host.get(), QPoint(195, 100)).lightnessF(), 0.02)
        << "the whole window under the sheet was dimmed by 30 %";

    sheet = present(Sizing::medium, false);
    clickAt(QPoint(195, 100));
    EXPECT_EQ(host->presentedViewController(), sheet) << "tap to dismiss is off";
    sheet->setTapToDismissEnabled(true);  // reaches the live presentation
    clickAt(QPoint(195, 100));
    EXPECT_EQ(host->presentedViewController(), nullptr);
}

TEST_F(SheetTest, ASheetThatStaysStretchesAtMostSixteenPointsAndSpringsBack) {
    auto* sheet = present(Sizing::medium);
    const QRect rest = sheet->geometry();
    drag(sheet, 2, 50, 100, false);  // the drag begins at 50 and has moved 100
    EXPECT_EQ(sheet->y(), rest.y() + static_cast<int>(std::lround(std::pow(100, 0.33))))
        << "rubber band: t^0.33";
    EXPECT_EQ(sheet->height(), rest.height());
    QTest::mouseMove(container(), QPoint(195, sheet->y() + 6000), 100);
    EXPECT_EQ(sheet->y(), rest.y() + 16);
    QTest::mouseRelease(container(), Qt::LeftButton, {}, QPoint(195, sheet->y() + 6000), 100);
    test::settle();
    EXPECT_EQ(sheet->geometry(), rest);

    // Upwards it grows taller, by at most 16 points, and settles back too.
    drag(sheet, 2, -4000, 100, false);
    EXPECT_EQ(sheet->height(), rest.height() + 16);
    EXPECT_EQ(sheet->geometry().bottom(), rest.bottom());
    QTest::mouseRelease(container(), Qt::LeftButton, {}, QPoint(195, 10), 100);
    test::settle();
    EXPECT_EQ(sheet->geometry(), rest);
    EXPECT_EQ(host->presentedViewController(), sheet);
}

TEST_F(SheetTest, DraggingAwayFollowsTheFingerAndNeedsFiveHundredPointsPerSecond) {
    auto* sheet = present(Sizing::medium, true, true);
    const QRect rest = sheet->geometry();
    // The sheet follows the finger; the backdrop lightens with it.
    drag(sheet, 15, 10, 100, false);
    EXPECT_EQ(sheet->y(), rest.y() + 150);
    EXPECT_NEAR(test::dimmingOver(host.get()), 0.3 * (1 - 150.0 / rest.height()), 0.01);
    QTest::mouseRelease(container(), Qt::LeftButton, {}, QPoint(195, sheet->y() + 60), 100);
    test::settle();
    EXPECT_EQ(host->presentedViewController(), sheet) << "a slow release brings it back";
    EXPECT_EQ(sheet->geometry(), rest);
    EXPECT_NEAR(test::dimmingOver(host.get()), 0.3, 1e-3);

    drag(sheet, 20, 4, 10);  // 400 points per second
    test::settle();
    EXPECT_EQ(host->presentedViewController(), sheet);
    EXPECT_EQ(sheet->geometry(), rest);

    drag(sheet, 20, 5, 10);  // exactly 500 points per second
    test::settle();
    EXPECT_EQ(host->presentedViewController(), nullptr);
}

TEST_F(SheetTest, ASizeChangeSuspendsDraggingUntilItIsOver) {
    present(Sizing::medium);
    auto* controller = host->findChild<EKYCBottomSheetPresentationController*>();
    ASSERT_NE(controller, nullptr);
    host->resize(430, 932);
    QCoreApplication::sendPostedEvents(host.get(), QEvent::Resize);
    EXPECT_FALSE(controller->dragTracker()->isEnabled());
    test::settle();
    EXPECT_TRUE(controller->dragTracker()->isEnabled());
    EXPECT_EQ(host->presentedViewController()->geometry(), QRect(0, 466, 430, 466));
}

TEST(BottomSheetTransition, OnlyAFastEnoughReleaseOfADismissableDragLetsTheSheetGo) {
    EXPECT_NEAR(EKYCBottomSheetInteractiveDismissalTransition::stretch(4096), std::pow(4096, 0.33) / 16, 1e-12);
    EXPECT_NEAR(EKYCBottomSheetInteractiveDismissalTransition::stretch(-27), -std::pow(27, 0.33) / 16, 1e-12);
    int layouts = 0;
    EKYCBottomSheetInteractiveDismissalTransition transition([&] { ++layouts; });
    transition.beginPan(true);
    EXPECT_DOUBLE_EQ(transition.updatePan(100, 400), 0.25) << "a dismissable sheet follows the finger";
    EXPECT_EQ(transition.bottomOffset(), 0);
    EXPECT_FALSE(transition.endPan(100, 400, 499.9));
    EXPECT_FALSE(transition.interactiveDismissal) << "cleared when the drag ends";
    transition.beginPan(true);
    EXPECT_TRUE(transition.endPan(100, 400, 500));
    transition.beginPan(false);
    EXPECT_EQ(transition.updatePan(400, 400), 0) << "not dismissable: only the rubber band";
    EXPECT_NEAR(transition.bottomOffset(), std::pow(400, 0.33), 1e-9);
    EXPECT_FALSE(transition.endPan(400, 400, 5000)) << "however fast";
    EXPECT_EQ(transition.bottomOffset(), 0) << "springs back, at once with animations off";
    EXPECT_GT(layouts, 4);
}

TEST_F(SheetTest, WithAnimationsOnASheetRisesFromTheBottomAndSinksBack) {
    ViewAnimation::setAnimationsEnabled(true);
    auto* sheet = new GuideSheet;
    sheet->setPreferredSheetSizing(Sizing::medium);
    host->present(sheet, true);
    std::vector<int> tops{sheet->y()};
    std::vector<double> alphas{test::dimmingOver(host.get())};
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            tops.push_back(sheet->y());
            alphas.push_back(test::dimmingOver(host.get()));
            return !sheet->isBeingPresented();
        },
        10000));
    EXPECT_EQ(tops.front(), 844) << "starts just below the window";
    EXPECT_EQ(sheet->geometry(), QRect(0, 422, 390, 422));
    EXPECT_TRUE(std::is_sorted(tops.rbegin(), tops.rend())) << "only ever rises";
    EXPECT_TRUE(std::is_sorted(alphas.begin(), alphas.end()));
    EXPECT_GT(std::set<int>(tops.begin(), tops.end()).size(), 3u) << "through frames in between";
    EXPECT_NEAR(test::dimmingOver(host.get()), 0.3, 1e-3);

    QPointer<GuideSheet> leaving(sheet);
    host->dismiss(true);
    EXPECT_TRUE(sheet->isBeingDismissed());
    EXPECT_EQ(host->presentedViewController(), sheet) << "until it has gone";
    EXPECT_TRUE(QTest::qWaitFor([&] { return leaving.isNull(); }, 10000));
    ViewAnimation::setAnimationsEnabled(false);
    EXPECT_EQ(host->presentedViewController(), nullptr);
}

using Tracker = EKYCKeyboardTracker;

class Recorder : public QObject {
public:
    explicit Recorder(Tracker& tracker) {
        connect(&tracker, &Tracker::keyboardTrackerDidUpdate, this,
                [this](const Tracker::Animation& animation) { updates.push_back(animation); });
    }
    std::vector<Tracker::Animation> updates;
};

class KeyboardTrackerTest : public testing::Test {
protected:
    Tracker tracker;
    Recorder recorder{tracker};
    const QRectF keyboard{0, 508, 390, 336};
};

TEST_F(KeyboardTrackerTest, ChangesWithinOneTurnOfTheQueueMakeOneUpdateWithTheLatestFrame) {
    tracker.keyboardDidChange(keyboard);
    EXPECT_TRUE(tracker.hasPendingAdjustRequest());
    EXPECT_TRUE(tracker.keyboardShowing());
    tracker.keyboardDidChange(QRectF(0, 400, 390, 444));
    EXPECT_TRUE(recorder.updates.empty()) << "delivered from the queue, not at once";
    test::settle();
    ASSERT_EQ(recorder.updates.size(), 1u);
    EXPECT_EQ(recorder.updates[0].frame, QRectF(0, 400, 390, 444));
    EXPECT_EQ(recorder.updates[0].options, 131076u) << "curve ease-out with begin-from-current-state";
    EXPECT_DOUBLE_EQ(recorder.updates[0].duration, 0.25);
    EXPECT_FALSE(tracker.hasPendingAdjustRequest());

    // Shown and hidden again before the update goes out: the delegate
    // learns that it is hidden, not where it briefly was.
    tracker.keyboardDidChange(QRectF());
    tracker.keyboardDidChange(keyboard);
    tracker.keyboardDidChange(QRectF());
    test::settle();
    ASSERT_EQ(recorder.updates.size(), 2u);
    EXPECT_TRUE(recorder.updates[1].frame.isEmpty());
    EXPECT_FALSE(tracker.keyboardShowing());

    tracker.keyboardDidChange(QRectF());  // unchanged: nothing to tell
    test::settle();
    EXPECT_EQ(recorder.updates.size(), 2u);
}

TEST_F(KeyboardTrackerTest, PausedTrackersIgnoreTheKeyboardUntilResumed) {
    tracker.pause();
    EXPECT_TRUE(tracker.isAutomaticallyPaused());
    tracker.keyboardDidChange(keyboard);
    EXPECT_FALSE(tracker.keyboardShowing());
    EXPECT_FALSE(tracker.hasPendingAdjustRequest());
    tracker.resume();
    tracker.isPaused = true;  // the owner's screen went away
    tracker.keyboardDidChange(keyboard);
    EXPECT_FALSE(tracker.keyboardShowing());
    tracker.isPaused = false;
    tracker.keyboardDidChange(keyboard);
    EXPECT_TRUE(tracker.keyboardShowing());
    test::settle();
    EXPECT_EQ(recorder.updates.size(), 1u);
}

TEST_F(KeyboardTrackerTest, FollowsTheApplicationStateAndForgetsAGoneReceiver) {
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_TRUE(tracker.isAutomaticallyPaused());
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(tracker.isAutomaticallyPaused());

    auto gone = std::make_unique<Recorder>(tracker);
    tracker.keyboardDidChange(keyboard);
    gone.reset();
    test::settle();  // no receiver to call, and no crash
    EXPECT_FALSE(tracker.hasPendingAdjustRequest());
}

}  // namespace
}  // namespace ovira

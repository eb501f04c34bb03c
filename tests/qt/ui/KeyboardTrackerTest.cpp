// The keyboard tracker: show and hide handling, pausing, coalesced updates.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "support/QtTestSupport.h"
#include "ui/keyboard/EKYCKeyboardTracker.h"

namespace ovira {
namespace {

using Tracker = EKYCKeyboardTracker;

class Recorder : public QObject, public Tracker::Delegate {
public:
    std::vector<Tracker::Animation> updates;
    void keyboardTrackerDidUpdate(const Tracker::Animation& animation) override { updates.push_back(animation); }
};

Tracker::Notification shown(QRectF frame, std::optional<quint64> curve = std::nullopt, QVariant duration = {}) {
    return {curve, duration, frame};
}

class KeyboardTrackerTest : public testing::Test {
protected:
    Tracker tracker;
    Recorder recorder;
    const QRectF keyboard{0, 508, 390, 336};
    void SetUp() override { tracker.setDelegate(&recorder); }
};

TEST_F(KeyboardTrackerTest, RequestsWithinOneTurnOfTheQueueCoalesceIntoTheFirstSnapshot) {
    tracker.keyboardWillShow(shown(keyboard));
    EXPECT_TRUE(tracker.hasPendingAdjustRequest());
    tracker.keyboardDidShow(std::nullopt);
    tracker.keyboardWillShow(shown(QRectF(0, 400, 390, 444)));  // dropped: one is queued
    EXPECT_TRUE(recorder.updates.empty()) << "delivered from the queue, not at once";
    test::settle();
    ASSERT_EQ(recorder.updates.size(), 1u);
    EXPECT_EQ(recorder.updates[0].frame, keyboard);
    EXPECT_EQ(recorder.updates[0].options, 131076u) << "curve ease-out with begin-from-current-state";
    EXPECT_DOUBLE_EQ(recorder.updates[0].duration, 0.25);
    EXPECT_FALSE(tracker.hasPendingAdjustRequest());
    EXPECT_EQ(tracker.keyboardFrame(), QRectF(0, 400, 390, 444));
}

TEST_F(KeyboardTrackerTest, AnUnchangedFrameWaitsForDidShowAndHidingZeroesIt) {
    tracker.keyboardWillShow(shown(keyboard, 1, 0.4));
    test::settle();
    ASSERT_EQ(recorder.updates.size(), 1u);
    EXPECT_EQ(recorder.updates[0].options, 1u | 4u) << "the curve is used as option bits, unshifted";
    EXPECT_DOUBLE_EQ(recorder.updates[0].duration, 0.4);

    tracker.keyboardWillShow(shown(keyboard, 1, QString("0.4")));  // same frame; duration of the wrong type
    test::settle();
    EXPECT_EQ(recorder.updates.size(), 1u);
    EXPECT_EQ(tracker.animationDuration(), std::nullopt);
    tracker.keyboardDidShow(std::nullopt);
    test::settle();
    EXPECT_EQ(recorder.updates.size(), 2u);

    // Without user information, showing keeps what it had; hiding zeroes the frame.
    tracker.keyboardWillShow(std::nullopt);
    EXPECT_EQ(tracker.keyboardFrame(), keyboard);
    EXPECT_EQ(tracker.animationCurve(), 1u | 4u);
    tracker.keyboardWillHide(std::nullopt);
    test::settle();
    EXPECT_FALSE(tracker.keyboardShowing());
    ASSERT_EQ(recorder.updates.size(), 3u);
    EXPECT_TRUE(recorder.updates[2].frame.isNull());
    EXPECT_EQ(recorder.updates[2].options, 1u | 4u);
}

TEST_F(KeyboardTrackerTest, PausedTrackersIgnoreShowAndHideButNotTheDidEvents) {
    tracker.pause();
    EXPECT_TRUE(tracker.isAutomaticallyPaused());
    tracker.keyboardWillShow(shown(keyboard));
    EXPECT_FALSE(tracker.keyboardShowing());
    EXPECT_FALSE(tracker.hasPendingAdjustRequest());
    tracker.keyboardDidHide(std::nullopt);  // still requests an update
    test::settle();
    EXPECT_EQ(recorder.updates.size(), 1u);
    tracker.resume();
    tracker.isPaused = true;  // the owner's screen went away
    tracker.keyboardWillShow(shown(keyboard));
    EXPECT_FALSE(tracker.keyboardShowing());
    tracker.isPaused = false;
    tracker.keyboardWillShow(shown(keyboard));
    EXPECT_TRUE(tracker.keyboardShowing());
}

TEST_F(KeyboardTrackerTest, FollowsTheApplicationStateAndForgetsAGoneDelegate) {
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_TRUE(tracker.isAutomaticallyPaused());
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(tracker.isAutomaticallyPaused());

    auto gone = std::make_unique<Recorder>();
    tracker.setDelegate(gone.get());
    tracker.keyboardDidShow(std::nullopt);
    gone.reset();
    test::settle();  // no delegate to call, and no crash
    EXPECT_FALSE(tracker.hasPendingAdjustRequest());
}

}  // namespace
}  // namespace ovira

// The property animator: scrubbing, reversing, stopping, and a real run.
#include <gtest/gtest.h>

#include <QTest>

#include "support/QtTestSupport.h"
#include "ui/animation/PropertyAnimator.h"
#include "ui/animation/ViewAnimation.h"

namespace ovira {
namespace {

using Position = PropertyAnimator::Position;

struct AnimatorTest : testing::Test {
    double value = 0;
    std::vector<Position> ends;
    PropertyAnimator animator{0.25, QEasingCurve::InQuad, [this](double p) { value = 100 * p; }};
    void SetUp() override {
        animator.addCompletion([this](Position position) { ends.push_back(position); });
    }
};

TEST_F(AnimatorTest, ScrubbingClampsAndAReversedRunEndsAtTheStart) {
    animator.setFractionComplete(1.7);
    EXPECT_EQ(value, 100);
    animator.setFractionComplete(0.4);
    EXPECT_EQ(value, 40);
    EXPECT_EQ(animator.state(), PropertyAnimator::State::active);
    animator.setReversed(true);
    animator.startAnimation();
    EXPECT_TRUE(ends.empty()) << "finishes on the next turn of the event loop";
    test::settle();
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ends, std::vector<Position>{Position::start});
    EXPECT_EQ(animator.state(), PropertyAnimator::State::inactive);
}

TEST_F(AnimatorTest, StoppingWithoutFinishingSkipsTheCompletionsAndFinishingPicksTheEnd) {
    animator.setFractionComplete(0.5);
    animator.startAnimation();
    animator.stopAnimation(true);
    test::settle();
    EXPECT_EQ(value, 50);
    EXPECT_TRUE(ends.empty());

    PropertyAnimator other(0.15, QEasingCurve::InQuad, [this](double p) { value = p; });
    other.addCompletion([this](Position position) { ends.push_back(position); });
    other.setFractionComplete(0.3);
    other.stopAnimation(false);
    other.setFractionComplete(0.9);  // ignored while stopped
    EXPECT_EQ(value, 0.3);
    other.finishAnimation(Position::end);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(ends, std::vector<Position>{Position::end});
}

TEST_F(AnimatorTest, WithAnimationsOnItRunsThroughTheCurveToTheEnd) {
    ViewAnimation::setAnimationsEnabled(true);
    std::vector<double> seen;
    PropertyAnimator running(0.1, QEasingCurve::InQuad, [&](double p) { seen.push_back(p); });
    bool done = false;
    running.addCompletion([&](Position position) { done = position == Position::end; });
    running.startAnimation();
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
    ViewAnimation::setAnimationsEnabled(false);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

}  // namespace
}  // namespace ovira

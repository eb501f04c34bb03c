// The card examiner on drawn cards lying on a desk in a 640 x 480 camera
// frame, the card window where the capture screen puts it; and on the
// test pictures, against the development service's own measures.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "DevServerTestSupport.h"
#include "capture/EKYCCaptureGeometry.h"
#include "devserver/PhotoJudge.h"
#include "vision/EKYCCardExaminer.h"
#include "vision/MatAdapter.h"

namespace ovira::vision {
namespace {

using capture::Point;
using capture::Rect;
using Corners = std::array<cv::Point2d, 4>;  // clockwise from the top left

const cv::Size kFrame(640, 480);
// A 576-pixel-wide window with a card's proportions, centred.
const Rect kWindow{32, 58, 576, 363};

int cardHeight(int width) {
    return static_cast<int>(std::lround(width * capture::cardAspectRatio));
}

// A desk seen from above: one dark colour with a little sensor noise.
cv::Mat desk(cv::Size size = kFrame) {
    cv::Mat noise(size, CV_32FC3);
    cv::RNG(7).fill(noise, cv::RNG::NORMAL, cv::Scalar::all(0), cv::Scalar::all(4));
    cv::Mat photo;
    cv::Mat(noise + cv::Scalar(40, 45, 50)).convertTo(photo, CV_8UC3);
    return photo;
}

// A light card with a header band and lines of text, `width` pixels wide.
// The service's tests draw a dark rim just inside its edge; unless asked
// for, it is painted over in the card's colour, which leaves a light margin
// all round, beside the header too, as on many printed cards.
cv::Mat card(int width, bool rim = false) {
    cv::Mat drawn = devserver::test::drawCard({width, cardHeight(width)});
    if (!rim) cv::rectangle(drawn, cv::Rect(0, 0, drawn.cols, drawn.rows), cv::Scalar(228, 236, 242), 10);
    return drawn;
}

// `drawn` (a card) laid on `photo` with its outer corners at `to`.
cv::Mat laid(const cv::Mat& drawn, cv::Mat photo, const Corners& to) {
    // Pixel centres: the card's outer edges lie half a pixel outside its
    // first and last pixels' centres.
    const double w = drawn.cols - 0.5, h = drawn.rows - 0.5;
    const cv::Point2f from[4] = {{-0.5f, -0.5f}, {float(w), -0.5f}, {float(w), float(h)}, {-0.5f, float(h)}};
    cv::Point2f onto[4];
    for (int i = 0; i < 4; ++i) onto[i] = cv::Point2f(float(to[i].x - 0.5), float(to[i].y - 0.5));
    const cv::Mat warp = cv::getPerspectiveTransform(from, onto);
    cv::Mat moved, mask;
    cv::warpPerspective(drawn, moved, warp, photo.size());
    cv::warpPerspective(devserver::test::cardShape(drawn.size()), mask, warp, photo.size(), cv::INTER_NEAREST);
    moved.copyTo(photo, mask);
    return photo;
}

// The corners of an upright card `width` pixels wide centred in the window.
Corners centred(int width) {
    const double x = std::round(kWindow.x + (kWindow.width - width) / 2);
    const double y = std::round(kWindow.y + (kWindow.height - cardHeight(width)) / 2);
    return {{{x, y}, {x + width, y}, {x + width, y + cardHeight(width)}, {x, y + cardHeight(width)}}};
}

// An upright card filling `fill` of the window's width, centred in it.
cv::Mat frameWithCard(double fill, const std::function<void(cv::Mat&)>& change = {}) {
    const int width = static_cast<int>(std::lround(kWindow.width * fill));
    cv::Mat drawn = card(width);
    if (change) change(drawn);
    return laid(drawn, desk(), centred(width));
}

RasterImage rgb(const cv::Mat& bgr) {
    return rasterFromMat(bgr);
}

EKYCDocumentMeasures examine(const cv::Mat& bgr, const Rect& window = kWindow) {
    return EKYCCardExaminer().examine(rgb(bgr), window);
}

void expectCorners(const EKYCDocumentMeasures& measures, const Corners& expected, double tolerance,
                   const std::string& what) {
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(measures.corners[i].x, expected[i].x, tolerance) << what << ", corner " << i;
        EXPECT_NEAR(measures.corners[i].y, expected[i].y, tolerance) << what << ", corner " << i;
    }
}

bool measuresNothing(const EKYCDocumentMeasures& m) {
    for (const Point& corner : m.corners)
        if (corner != Point{}) return false;
    return !m.found && m.fill == 0 && m.sharpness == 0 && m.brightness == 0 && m.burntShare == 0 &&
           m.blackShare == 0 && m.glare == 0;
}

TEST(CardExaminer, FindsAnUprightCardAtEveryFillWithItsCorners) {
    for (const double fill : {0.5, 0.75, 0.95, 1.05}) {
        const int width = static_cast<int>(std::lround(kWindow.width * fill));
        const auto measures = examine(frameWithCard(fill));
        const std::string what = "fill " + std::to_string(fill);
        ASSERT_TRUE(measures.found) << what;
        EXPECT_NEAR(measures.fill, double(width) / kWindow.width, 0.01) << what;
        expectCorners(measures, centred(width), 3, what);
    }
    // On a light desk, and past the window's edges but within the margin
    // searched around it.
    cv::Mat light;
    desk().convertTo(light, -1, 1, 160);
    for (const double fill : {0.75, 1.05}) {
        const int width = static_cast<int>(std::lround(kWindow.width * fill));
        const auto measures = examine(laid(card(width), light.clone(), centred(width)));
        ASSERT_TRUE(measures.found) << "light desk, fill " << fill;
        EXPECT_NEAR(measures.fill, double(width) / kWindow.width, 0.01) << "light desk, fill " << fill;
        expectCorners(measures, centred(width), 3, "light desk");
    }
    // A card reaching past the margin shows no outline: not found, rather
    // than some rectangle printed on it taken for the card.
    for (const double fill : {1.3, 1.6}) EXPECT_FALSE(examine(frameWithCard(fill)).found) << fill;
    // A dark rim round the card: its inner edge may be taken for the card's,
    // but the card is found all the same.
    for (const double fill : {0.5, 0.95}) {
        const int width = static_cast<int>(std::lround(kWindow.width * fill));
        const auto measures = examine(laid(card(width, true), desk(), centred(width)));
        ASSERT_TRUE(measures.found) << fill;
        EXPECT_NEAR(measures.fill, double(width) / kWindow.width, 0.03) << fill;
    }
}

TEST(CardExaminer, FindsATiltedCardWhereItsCornersAre) {
    const int width = 430;
    const Corners upright = centred(width);
    // Held with its top edge away from the camera: the top is shorter; and
    // turned a little.
    const Corners tilted = {{upright[0] + cv::Point2d(30, 12), upright[1] + cv::Point2d(-18, -4),
                             upright[2] + cv::Point2d(6, 10), upright[3] + cv::Point2d(-10, -6)}};
    const auto measures = examine(laid(card(width), desk(), tilted));
    ASSERT_TRUE(measures.found);
    expectCorners(measures, tilted, 3, "tilted");
    // Across its widest, the card spans the bottom edge.
    EXPECT_NEAR(measures.fill, (tilted[2].x - tilted[3].x) / kWindow.width, 0.05);

    // Turned by 8 degrees in the plane: the top left corner is still first.
    Corners turned;
    const cv::Point2d centre = (upright[0] + upright[2]) * 0.5;
    const double angle = 8 * CV_PI / 180;
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2d d = upright[i] - centre;
        turned[i] = centre + cv::Point2d(d.x * std::cos(angle) - d.y * std::sin(angle),
                                         d.x * std::sin(angle) + d.y * std::cos(angle));
    }
    const auto turnedMeasures = examine(laid(card(width), desk(), turned));
    ASSERT_TRUE(turnedMeasures.found);
    expectCorners(turnedMeasures, turned, 3, "turned");
    // Measured along its own side, not its bounding box.
    EXPECT_NEAR(turnedMeasures.fill, double(width) / kWindow.width, 0.01);
}

TEST(CardExaminer, FindsNoCardOnABareDeskOrACat) {
    EXPECT_FALSE(examine(desk()).found);
    cv::Mat cat;
    cv::resize(devserver::test::decodeImage(devserver::test::testImage("chelsea.png")), cat, kFrame);
    const auto measures = examine(cat);
    EXPECT_FALSE(measures.found);
    EXPECT_EQ(measures.fill, 0);
    EXPECT_GT(measures.sharpness, 0);  // measured all the same
    EXPECT_GT(measures.brightness, 0);
    // Noise edges everywhere: one big ring as large as the searched region.
    cv::Mat noise(kFrame, CV_8UC3);
    cv::randu(noise, cv::Scalar::all(0), cv::Scalar::all(255));
    EXPECT_FALSE(examine(noise).found);
    // A card too small for the window, and a window too narrow for the card.
    EXPECT_FALSE(examine(frameWithCard(0.3)).found);
    EXPECT_FALSE(examine(frameWithCard(0.9), {250, 150, 140, 88}).found);
}

TEST(CardExaminer, BlurLowersTheSharpness) {
    const cv::Mat sharp = frameWithCard(0.9);
    cv::Mat blurred;
    cv::GaussianBlur(sharp, blurred, cv::Size(0, 0), 3);
    const double sharpness = examine(sharp).sharpness;
    const double blurredSharpness = examine(blurred).sharpness;
    EXPECT_GT(sharpness, 100);
    EXPECT_LT(blurredSharpness, sharpness / 20);
    cv::GaussianBlur(sharp, blurred, cv::Size(0, 0), 1);
    const double slightly = examine(blurred).sharpness;
    EXPECT_LT(slightly, sharpness);
    EXPECT_GT(slightly, blurredSharpness);
}

TEST(CardExaminer, GlareIsTheShareOfTheCardWashedOut) {
    double drawnShare = 0;
    const auto spot = [&](cv::Mat& drawn) {
        // An ellipse of a fifth of the card's area, off the card's centre.
        const cv::Size axes(int(drawn.cols * 0.3), int(drawn.rows * 0.2 / (0.3 * CV_PI)));
        cv::ellipse(drawn, cv::Point(drawn.cols * 6 / 10, drawn.rows / 2), axes, 0, 0, 360,
                    cv::Scalar::all(255), cv::FILLED);
        cv::Mat grey;
        cv::cvtColor(drawn, grey, cv::COLOR_BGR2GRAY);
        drawnShare = double(cv::countNonZero((grey >= 250) & devserver::test::cardShape(drawn.size()))) /
                     cv::countNonZero(devserver::test::cardShape(drawn.size()));
    };
    for (const double fill : {0.6, 0.9}) {
        const auto clean = examine(frameWithCard(fill));
        const auto glaring = examine(frameWithCard(fill, spot));
        ASSERT_TRUE(clean.found);
        ASSERT_TRUE(glaring.found);
        EXPECT_LT(clean.glare, 0.03) << fill;  // the header's white letters
        EXPECT_NEAR(glaring.glare, 0.2, 0.05) << fill;
        EXPECT_NEAR(glaring.glare, drawnShare, 0.02) << fill;
        // Over the window, the desk around the card dilutes it.
        EXPECT_NEAR(glaring.burntShare, drawnShare * fill * fill, 0.02) << fill;
    }
    // Without a card, glare is measured over the window.
    cv::Mat lamp = desk();
    cv::circle(lamp, {320, 240}, 100, cv::Scalar::all(255), cv::FILLED);
    const auto measures = examine(lamp);
    ASSERT_FALSE(measures.found);
    EXPECT_NEAR(measures.glare, CV_PI * 100 * 100 / kWindow.width / kWindow.height, 0.01);
    EXPECT_EQ(measures.glare, measures.burntShare);
}

TEST(CardExaminer, LightFollowsTheExposure) {
    const cv::Mat lit = frameWithCard(0.9);
    cv::Mat dark, burnt;
    lit.convertTo(dark, -1, 0.3);
    lit.convertTo(burnt, -1, 1, 120);
    const auto litMeasures = examine(lit), darkMeasures = examine(dark), burntMeasures = examine(burnt);
    EXPECT_GT(litMeasures.brightness, 150);
    EXPECT_NEAR(darkMeasures.brightness, 0.3 * litMeasures.brightness, 0.01 * litMeasures.brightness);
    EXPECT_TRUE(darkMeasures.found);
    EXPECT_GT(burntMeasures.burntShare, 0.6);
    EXPECT_LT(litMeasures.burntShare, 0.02);
    EXPECT_EQ(litMeasures.blackShare, 0);
    const auto black = examine(cv::Mat(kFrame, CV_8UC3, cv::Scalar::all(3)));
    EXPECT_EQ(black.blackShare, 1);
    EXPECT_EQ(black.brightness, 3);
    EXPECT_EQ(black.sharpness, 0);
}

TEST(CardExaminer, AWholeImageMeasuresWhatTheServiceMeasures) {
    // The service decodes a photograph to grey and measures that; the same
    // grey image examined whole must give the same figures.
    const devserver::PhotoJudge judge;
    cv::Mat blurred;
    cv::GaussianBlur(devserver::test::drawCard(), blurred, cv::Size(0, 0), 1.5);
    const std::pair<std::string, cv::Mat> pictures[] = {
        {"card", devserver::test::drawCard()},
        {"large card", devserver::test::drawCard({2400, 1514})},
        {"blurred card", blurred},
        {"astronaut", devserver::test::decodeImage(devserver::test::testImage("astronaut.png"))},
        {"cat", devserver::test::decodeImage(devserver::test::testImage("chelsea.png"))},
    };
    for (const auto& [name, picture] : pictures) {
        cv::Mat grey;
        cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
        const auto verdict = judge.judgeDocument(devserver::test::encode(grey));
        ASSERT_EQ(verdict.width, grey.cols) << name;
        const auto measures =
            EKYCCardExaminer().examine(rasterFromMat(grey), {0, 0, double(grey.cols), double(grey.rows)});
        EXPECT_NEAR(measures.sharpness, verdict.sharpness, 1e-9 * verdict.sharpness) << name;
        EXPECT_NEAR(measures.brightness, verdict.brightness, 1e-9) << name;
        EXPECT_NEAR(measures.burntShare, verdict.burntShare, 1e-12) << name;
        EXPECT_NEAR(measures.blackShare, verdict.blackShare, 1e-12) << name;
        EXPECT_GT(measures.sharpness, 0) << name;
    }
}

// OpenCV's figure for a grey picture taken on its own.
double laplacianVariance(const cv::Mat& grey) {
    cv::Mat laplacian;
    cv::Laplacian(grey, laplacian, CV_64F);
    cv::Scalar mean, deviation;
    cv::meanStdDev(laplacian, mean, deviation);
    return deviation[0] * deviation[0];
}

TEST(CardExaminer, SharpnessIsOpenCVsLaplacianVarianceAtAnySize) {
    cv::Mat noise(120, 200, CV_8UC1);
    cv::randu(noise, cv::Scalar(0), cv::Scalar(256));
    const RasterImage image = rasterFromMat(noise);
    EKYCCardExaminer examiner;
    // Whole pictures of one row or column and very small ones mirror their
    // edges as OpenCV does; a window is measured as if cut out.
    for (const cv::Rect window :
         {cv::Rect(0, 0, 1, 1), cv::Rect(5, 5, 1, 9), cv::Rect(5, 5, 9, 1), cv::Rect(7, 3, 2, 2),
          cv::Rect(11, 13, 3, 7), cv::Rect(20, 10, 150, 90), cv::Rect(0, 0, 200, 120)}) {
        const double expected = laplacianVariance(noise(window).clone());
        const double measured = examiner
                                    .examine(image, {double(window.x), double(window.y), double(window.width),
                                                     double(window.height)})
                                    .sharpness;
        EXPECT_NEAR(measured, expected, 1e-9 * std::max(1.0, expected))
            << window.width << " x " << window.height;
    }
}

TEST(CardExaminer, GreyColourAndAlphaGiveTheSameMeasures) {
    cv::Mat frame = frameWithCard(0.8);
    cv::circle(frame, {300, 250}, 40, cv::Scalar::all(255), cv::FILLED);
    cv::Mat grey, rgba;
    cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
    cv::cvtColor(frame, rgba, cv::COLOR_BGR2RGBA);
    EKYCCardExaminer examiner;
    const auto fromRgb = examiner.examine(rasterFromMat(frame), kWindow);
    const auto fromGrey = examiner.examine(rasterFromMat(grey), kWindow);
    const auto fromRgba = examiner.examine(
        RasterImage(rgba.cols, rgba.rows, RasterImage::Format::rgba, {rgba.datastart, rgba.dataend}),
        kWindow);
    ASSERT_TRUE(fromRgb.found);
    for (const auto& other : {fromGrey, fromRgba}) {
        EXPECT_EQ(other.found, fromRgb.found);
        EXPECT_EQ(other.corners, fromRgb.corners);
        EXPECT_EQ(other.fill, fromRgb.fill);
        EXPECT_EQ(other.sharpness, fromRgb.sharpness);
        EXPECT_EQ(other.brightness, fromRgb.brightness);
        EXPECT_EQ(other.burntShare, fromRgb.burntShare);
        EXPECT_EQ(other.blackShare, fromRgb.blackShare);
        EXPECT_EQ(other.glare, fromRgb.glare);
    }
    EXPECT_GT(fromRgb.glare, 0.02);
}

TEST(CardExaminer, TheWindowIsClippedToTheImage) {
    const cv::Mat frame = frameWithCard(0.9);
    // Reaching past the frame on every side measures the whole frame.
    const auto whole = examine(frame, {0, 0, 640, 480});
    const auto beyond = examine(frame, {-50, -40, 800, 600});
    EXPECT_EQ(beyond.brightness, whole.brightness);
    EXPECT_EQ(beyond.sharpness, whole.sharpness);
    EXPECT_EQ(beyond.found, whole.found);
    // Only the window's pixels count: the desk's left part alone is dark.
    const auto left = examine(frame, {0, 0, 30, 480});
    EXPECT_LT(left.brightness, 60);
    EXPECT_GT(whole.brightness, left.brightness + 50);
}

TEST(CardExaminer, NothingToExamineMeasuresNothing) {
    EKYCCardExaminer examiner;
    const RasterImage frame = rgb(frameWithCard(0.9));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(measuresNothing(examiner.examine(RasterImage(0, 0, RasterImage::Format::rgb, {}), kWindow)));
    EXPECT_TRUE(measuresNothing(examiner.examine(frame, {})));
    EXPECT_TRUE(measuresNothing(examiner.examine(frame, {100, 100, 0, 50})));
    EXPECT_TRUE(measuresNothing(examiner.examine(frame, {700, 100, 200, 100})));
    EXPECT_TRUE(measuresNothing(examiner.examine(frame, {-300, -200, 250, 150})));
    EXPECT_TRUE(measuresNothing(examiner.examine(frame, {nan, 0, 100, 100})));
    EXPECT_TRUE(measuresNothing(examiner.examine(frame, {0, 0, infinity, 100})));
    // A sliver of a pixel rounds to nothing; a few pixels are still measured.
    EXPECT_TRUE(measuresNothing(examiner.examine(frame, {10.2, 10, 0.2, 100})));
    const auto tiny = examiner.examine(frame, {1, 1, 3, 2});
    EXPECT_FALSE(tiny.found);
    EXPECT_GT(tiny.brightness, 0);
    // The default examiner is this one, and works.
    EXPECT_TRUE(makeDefaultDocumentExaminer()->examine(frame, kWindow).found);
}

}  // namespace
}  // namespace ovira::vision

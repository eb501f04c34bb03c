// Live guidance: the one hint a frame sequence earns, steadiness across
// frames, the automatic capture's countdown, and the still check's limits.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "capture/EKYCAutoCapture.h"
#include "capture/EKYCDetectionPipeline.h"
#include "capture/EKYCDocumentGuidance.h"
#include "capture/EKYCFaceGuidance.h"
#include "capture/EKYCStillCheck.h"
#include "support/MainLoop.h"

namespace ovira {
namespace {

using capture::Point;
using capture::Rect;
using Hint = EKYCCaptureHint;

const Rect kWindow{40, 60, 560, 353};

// A card of `fill` times the window's width, centred in it and moved by `dx`.
EKYCDocumentMeasures card(double fill, double dx = 0) {
    EKYCDocumentMeasures m;
    m.found = true;
    m.fill = fill;
    const double w = kWindow.width * fill, h = w * capture::cardAspectRatio;
    const double x = kWindow.x + (kWindow.width - w) / 2 + dx, y = kWindow.y + (kWindow.height - h) / 2;
    m.corners = {Point{x, y}, Point{x + w, y}, Point{x + w, y + h}, Point{x, y + h}};
    m.sharpness = 400;
    m.brightness = 150;
    return m;
}

std::vector<Hint> play(EKYCDocumentGuidance& guidance, const std::vector<EKYCDocumentMeasures>& frames) {
    std::vector<Hint> shown;
    for (const auto& frame : frames) shown.push_back(guidance.update(frame, kWindow).hint);
    return shown;
}

TEST(DocumentGuidance, OneHintPerProblemInTheOrderThatMatters) {
    EKYCDocumentGuidance guidance;
    const auto hint = [&](EKYCDocumentMeasures m, bool steady = true) { return guidance.hintFor(m, steady); };
    EKYCDocumentMeasures dark = card(0.95);
    dark.brightness = 40;
    dark.found = false;  // darkness hides the outline too: light comes first
    EXPECT_EQ(hint(dark), Hint::moreLight);
    EKYCDocumentMeasures blackened = card(0.95);
    blackened.blackShare = 0.6;
    EXPECT_EQ(hint(blackened), Hint::moreLight);
    EXPECT_EQ(hint(EKYCDocumentMeasures{.brightness = 150}), Hint::placeDocument);
    EXPECT_EQ(hint(card(0.6)), Hint::moveCloser);
    EXPECT_EQ(hint(card(1.1)), Hint::moveBack);
    EKYCDocumentMeasures glared = card(0.6);
    glared.glare = 0.2;
    EXPECT_EQ(hint(glared), Hint::moveCloser) << "size before glare";
    glared.fill = 0.95;
    EXPECT_EQ(hint(glared), Hint::avoidReflections);
    EKYCDocumentMeasures blurred = card(0.95);
    blurred.sharpness = 20;
    EXPECT_EQ(hint(blurred), Hint::holdStill);
    EXPECT_EQ(hint(card(0.95), false), Hint::holdStill);
    EXPECT_EQ(hint(card(0.95)), Hint::ready);
}

TEST(DocumentGuidance, ReadyOnlyAfterTheCardHasStayedStill) {
    EKYCDocumentGuidance guidance;
    const int steady = guidance.thresholds().steadyFrames;
    std::vector<EKYCDocumentMeasures> frames;
    // Approaching: too small, then in place but moving, then still.
    for (double fill : {0.5, 0.6, 0.7}) frames.push_back(card(fill));
    for (int i = 0; i < 3; ++i) frames.push_back(card(0.95, i * 30));
    for (int i = 0; i < steady + 2; ++i) frames.push_back(card(0.95, 60 + (i % 2)));
    const auto shown = play(guidance, frames);
    EXPECT_EQ(shown[0], Hint::moveCloser);
    EXPECT_EQ(shown[2], Hint::moveCloser);
    EXPECT_EQ(shown[4], Hint::holdStill) << "in place but moving";
    EXPECT_EQ(shown[5], Hint::holdStill);
    EXPECT_EQ(shown.back(), Hint::ready);
    // The first ready comes steadyFrames frames after the card stopped, plus
    // the filter's confirmation.
    const auto firstReady = std::find(shown.begin(), shown.end(), Hint::ready) - shown.begin();
    EXPECT_GE(firstReady, 6 + steady - 1);

    // A jump breaks the stillness at once.
    EXPECT_EQ(guidance.update(card(0.95, 120), kWindow).hint, Hint::ready) << "one frame is filtered";
    EXPECT_EQ(guidance.update(card(0.95, 180), kWindow).hint, Hint::holdStill);
}

TEST(DocumentGuidance, WellPlacedColoursTheCornersBeforeSteadiness) {
    EKYCDocumentGuidance guidance;
    EXPECT_FALSE(guidance.update(card(0.6), kWindow).wellPlaced);
    EXPECT_FALSE(guidance.update(card(0.6), kWindow).wellPlaced);
    guidance.update(card(0.95), kWindow);
    const EKYCGuidance placed = guidance.update(card(0.95, 1), kWindow);
    EXPECT_EQ(placed.hint, Hint::holdStill);
    EXPECT_TRUE(placed.wellPlaced);
    guidance.reset();
    EXPECT_EQ(guidance.update(EKYCDocumentMeasures{.brightness = 150}, kWindow).hint, Hint::placeDocument)
        << "after a reset the first frame's hint shows at once";
}

TEST(HintFilter, ANewHintMustBeSeenTwiceInARow) {
    EKYCHintFilter filter;
    EXPECT_EQ(filter.filter(Hint::moveCloser), Hint::moveCloser);
    EXPECT_EQ(filter.filter(Hint::ready), Hint::moveCloser);
    EXPECT_EQ(filter.filter(Hint::holdStill), Hint::moveCloser);
    EXPECT_EQ(filter.filter(Hint::holdStill), Hint::holdStill);
    EXPECT_EQ(filter.filter(Hint::ready), Hint::holdStill);
    EXPECT_EQ(filter.filter(Hint::holdStill), Hint::holdStill) << "a lone frame of another hint is forgotten";
    EXPECT_EQ(filter.filter(Hint::ready), Hint::holdStill);
    EXPECT_EQ(filter.filter(Hint::ready), Hint::ready);
}

// A face of `size` times the circle's diameter at `centre`, with eyes and
// nose; `turn` moves the nose along the eyes' line, in eye distances.
EKYCDetectedFace face(double size, Point centre, double turn = 0, double brightness = 140) {
    const Rect circle{100, 100, 400, 400};
    const double w = circle.width * size;
    EKYCDetectedFace f;
    f.box = {centre.x - w / 2, centre.y - w / 2, w, w};
    const double eye = w * 0.36;
    f.keypoints = {Point{centre.x - eye / 2, centre.y - w * 0.1}, Point{centre.x + eye / 2, centre.y - w * 0.1},
                   Point{centre.x + turn * eye, centre.y + w * 0.08}, Point{centre.x, centre.y + w * 0.25},
                   Point{centre.x - w / 2, centre.y}, Point{centre.x + w / 2, centre.y}};
    f.brightness = brightness;
    return f;
}

TEST(FaceGuidance, YawFromTheEyesAndNoseIgnoresTilt) {
    EXPECT_NEAR(*EKYCFaceGuidance::yaw(face(0.6, {300, 300})), 0, 1e-9);
    EXPECT_NEAR(*EKYCFaceGuidance::yaw(face(0.6, {300, 300}, 0.4)), 0.4, 1e-9);
    EXPECT_NEAR(*EKYCFaceGuidance::yaw(face(0.6, {300, 300}, -0.3)), -0.3, 1e-9);
    // The head tilted 90 degrees: eyes one above the other, nose straight out.
    EKYCDetectedFace tilted;
    tilted.keypoints = {Point{0, 0}, Point{0, 10}, Point{-8, 5}, Point{-12, 5}, Point{}, Point{}};
    EXPECT_NEAR(*EKYCFaceGuidance::yaw(tilted), 0, 1e-9);
    EXPECT_FALSE(EKYCFaceGuidance::yaw(EKYCDetectedFace{}).has_value()) << "no key points, no yaw";
}

TEST(FaceGuidance, TooFarTurnedOffCentreDarkThenReady) {
    EKYCFaceGuidance guidance;
    const Rect circle{100, 100, 400, 400};
    const Point centre{300, 300};
    const auto hint = [&](const EKYCDetectedFace* f) { return guidance.hintFor(f, circle, true); };
    EXPECT_EQ(hint(nullptr), Hint::placeFace);
    const auto small = face(0.2, centre), large = face(1.2, centre), offCentre = face(0.6, {390, 300}),
               turned = face(0.6, centre, 0.45), dark = face(0.6, centre, 0, 30), good = face(0.6, centre);
    EXPECT_EQ(hint(&small), Hint::moveCloser);
    EXPECT_EQ(hint(&large), Hint::moveBack);
    EXPECT_EQ(hint(&offCentre), Hint::centreFace);
    EXPECT_EQ(hint(&turned), Hint::lookStraight);
    EXPECT_EQ(hint(&dark), Hint::moreLight);
    EXPECT_EQ(hint(&good), Hint::ready);
    EKYCDetectedFace noPoints = good;
    noPoints.keypoints.clear();
    noPoints.brightness = -1;
    EXPECT_EQ(hint(&noPoints), Hint::ready) << "what cannot be measured is not held against the user";

    // A sequence: too far, turned, then centred and still; the largest face counts.
    std::vector<Hint> shown;
    const auto show = [&](std::vector<EKYCDetectedFace> faces) { shown.push_back(guidance.update(faces, circle).hint); };
    show({});
    show({face(0.25, centre)});
    show({face(0.25, centre)});
    // Turning back to the camera moves the face's box too.
    show({face(0.6, {330, 300}, 0.5)});
    show({face(0.6, {330, 300}, 0.5)});
    for (int i = 0; i < 6; ++i) show({face(0.6, centre), face(0.1, {120, 120})});
    EXPECT_EQ(shown, (std::vector{Hint::placeFace, Hint::placeFace, Hint::moveCloser, Hint::moveCloser,
                                  Hint::lookStraight, Hint::lookStraight, Hint::holdStill, Hint::holdStill,
                                  Hint::holdStill, Hint::ready, Hint::ready}));
}

TEST(AutoCapture, FiresOnceAfterSettlingAndTheCountdown) {
    EKYCAutoCapture autoCapture({0.5, 3});
    EXPECT_FALSE(autoCapture.update(false, 0));
    EXPECT_FALSE(autoCapture.update(true, 1.0));
    EXPECT_EQ(autoCapture.state(), EKYCAutoCapture::State::settling);
    EXPECT_FALSE(autoCapture.update(true, 1.4));
    EXPECT_FALSE(autoCapture.update(true, 1.5));
    EXPECT_TRUE(autoCapture.isCountingDown());
    EXPECT_EQ(autoCapture.secondsLeft(), 3);
    EXPECT_FALSE(autoCapture.update(true, 2.6));
    EXPECT_EQ(autoCapture.secondsLeft(), 2);
    EXPECT_FALSE(autoCapture.update(true, 4.4));
    EXPECT_EQ(autoCapture.secondsLeft(), 1);
    EXPECT_TRUE(autoCapture.update(true, 4.5));
    EXPECT_EQ(autoCapture.state(), EKYCAutoCapture::State::fired);
    EXPECT_FALSE(autoCapture.update(true, 9)) << "once";
    autoCapture.reset();
    EXPECT_FALSE(autoCapture.update(true, 10));
    EXPECT_FALSE(autoCapture.update(true, 10.5));
    EXPECT_TRUE(autoCapture.update(true, 13.5)) << "again after a reset";
}

TEST(AutoCapture, AMovementOrTheUserStopsTheCountdown) {
    EKYCAutoCapture autoCapture({0.5, 3});
    autoCapture.update(true, 0);
    autoCapture.update(true, 0.5);
    EXPECT_TRUE(autoCapture.isCountingDown());
    EXPECT_FALSE(autoCapture.update(false, 2));
    EXPECT_EQ(autoCapture.state(), EKYCAutoCapture::State::waiting);
    EXPECT_EQ(autoCapture.secondsLeft(), 0);
    EXPECT_FALSE(autoCapture.update(true, 3.4)) << "the wait starts over";
    EXPECT_FALSE(autoCapture.update(true, 3.9));
    EXPECT_FALSE(autoCapture.update(true, 6.8));
    autoCapture.stop();
    EXPECT_FALSE(autoCapture.update(true, 7));
    EXPECT_FALSE(autoCapture.update(true, 100)) << "stopped by the user: never fires";
    autoCapture.resume();
    EXPECT_FALSE(autoCapture.update(true, 101));
    EXPECT_FALSE(autoCapture.update(true, 101.5));
    EXPECT_TRUE(autoCapture.update(true, 104.5));
}

// Gives fixed measures and counts its calls.
struct FixedExaminer : EKYCDocumentExaminer {
    EKYCDocumentMeasures measures;
    int calls = 0;
    EKYCDocumentMeasures examine(const RasterImage&, const Rect&) override {
        ++calls;
        return measures;
    }
};

struct FixedDetector : EKYCFaceDetector {
    std::vector<Rect> faces;
    std::vector<Rect> detectFaces(const RasterImage&) override { return faces; }
};

std::shared_ptr<const RasterImage> grey(int width, int height, std::uint8_t level = 128) {
    return std::make_shared<RasterImage>(width, height, RasterImage::Format::gray,
                                         std::vector<std::uint8_t>(std::size_t(width) * height, level));
}

TEST(StillCheck, RefusesOnlyBeyondTheServicesOwnLimits) {
    auto examiner = std::make_shared<FixedExaminer>();
    auto detector = std::make_shared<FixedDetector>();
    const EKYCStillCheck check(examiner, detector);
    const auto judge = [&](const EKYCDocumentMeasures& m, int width = 1200, bool document = true) {
        examiner->measures = m;
        const auto image = grey(width, document ? width * 631 / 1000 : width);
        return check.judge(check.measure(*image, document), document);
    };
    const EKYCDocumentMeasures good{.found = true, .fill = 0.9, .sharpness = 300, .brightness = 150};
    EXPECT_EQ(judge(good), std::nullopt);
    EXPECT_EQ(judge(good, 999), EKYCStillRefusal::tooFewPixels) << "the service wants 1000 pixels across";
    EXPECT_EQ(judge(good, 1000), std::nullopt);
    auto m = good;
    m.fill = 0.4;
    EXPECT_EQ(judge(m), std::nullopt) << "a small card is the live guidance's to point out";
    m = good;
    m.brightness = 47;
    EXPECT_EQ(judge(m), std::nullopt);
    m.brightness = 30;
    EXPECT_EQ(judge(m), EKYCStillRefusal::tooDark);
    m = good;
    m.blackShare = 0.7;
    EXPECT_EQ(judge(m), EKYCStillRefusal::tooDark);
    m = good;
    m.burntShare = 0.6;
    EXPECT_EQ(judge(m), EKYCStillRefusal::tooBright);
    m = good;
    m.brightness = 240;
    EXPECT_EQ(judge(m), EKYCStillRefusal::tooBright);
    m = good;
    m.sharpness = 45;
    EXPECT_EQ(judge(m), std::nullopt);
    m.sharpness = 10;
    EXPECT_EQ(judge(m), EKYCStillRefusal::blurred);
    EXPECT_EQ(judge(m, 800, false), std::nullopt) << "faces are not judged on sharpness";

    // Faces: size of the photograph and of the face.
    detector->faces = {{300, 300, 200, 200}};
    EXPECT_EQ(judge(good, 800, false), std::nullopt);
    EXPECT_EQ(judge(good, 199, false), EKYCStillRefusal::tooFewPixels);
    detector->faces = {{300, 300, 40, 40}};
    EXPECT_EQ(judge(good, 800, false), EKYCStillRefusal::faceTooSmall);
    detector->faces = {};
    EXPECT_EQ(judge(good, 800, false), std::nullopt) << "no face found: left to the service's detector";
}

TEST(StillCheck, WithoutAnExaminerOnlyTheSizeIsJudged) {
    const EKYCStillCheck check(nullptr, nullptr);
    const auto dark = grey(1200, 757, 0);
    const auto measures = check.measure(*dark, true);
    EXPECT_FALSE(measures.examined);
    EXPECT_EQ(check.judge(measures, true), std::nullopt);
    EXPECT_EQ(check.judge(check.measure(*grey(900, 568, 0), true), true), EKYCStillRefusal::tooFewPixels);
}

TEST(DetectionPipeline, MeasuresTheDocumentInTheWindowAndReportsInCameraPixels) {
    test::MainLoop mainLoop;
    auto examiner = std::make_shared<FixedExaminer>();
    examiner->measures = card(0.9);
    std::optional<EKYCDocumentMeasures> reported;
    Rect reportedWindow;
    EKYCDetectionPipeline pipeline(nullptr, {}, examiner,
                                   [&](const EKYCDocumentMeasures& m, const Rect& window, capture::Size) {
                                       reported = m;
                                       reportedWindow = window;
                                   });
    // A camera frame of 1280 x 960 examined at half size.
    pipeline.submitDocument([] { return EKYCDetectionPipeline::Frame{grey(640, 480), 2, {1280, 960}}; },
                            {80, 120, 1120, 706});
    pipeline.waitUntilIdle();
    mainLoop.runUntil([&] { return reported.has_value(); }, std::chrono::seconds(2));
    ASSERT_TRUE(reported);
    EXPECT_EQ(reportedWindow, (Rect{80, 120, 1120, 706}));
    EXPECT_EQ(reported->corners[0], (Point{examiner->measures.corners[0].x * 2, examiner->measures.corners[0].y * 2}));
    EXPECT_DOUBLE_EQ(reported->fill, 0.9) << "shares are not scaled";
    EXPECT_EQ(examiner->calls, 1);
    // No examiner or an empty window: nothing is examined.
    EXPECT_TRUE(pipeline.submitDocument([] { return EKYCDetectionPipeline::Frame{grey(64, 48), 1, {64, 48}}; }, {}));
    pipeline.waitUntilIdle();
    EXPECT_EQ(examiner->calls, 1);
}

TEST(DetectionPipeline, MeanGreyInsideABox) {
    std::vector<std::uint8_t> pixels(100 * 50 * 3, 0);
    for (int y = 0; y < 50; ++y)
        for (int x = 50; x < 100; ++x) pixels[(y * 100 + x) * 3] = 255;  // the right half pure red
    const RasterImage image(100, 50, RasterImage::Format::rgb, std::move(pixels));
    EXPECT_NEAR(EKYCDetectionPipeline::meanGrey(image, {0, 0, 50, 50}), 0, 1e-9);
    EXPECT_NEAR(EKYCDetectionPipeline::meanGrey(image, {50, 0, 50, 50}), 0.299 * 255, 1e-6);
    EXPECT_NEAR(EKYCDetectionPipeline::meanGrey(image, {0, 0, 100, 50}), 0.299 * 255 / 2, 1.0);
    EXPECT_EQ(EKYCDetectionPipeline::meanGrey(image, {200, 0, 10, 10}), -1) << "outside the image";
}

}  // namespace
}  // namespace ovira

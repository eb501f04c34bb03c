// The capture window's geometry on phones, desktops, tablets and kiosks, and
// the way a window on screen becomes a region of the camera's pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "capture/EKYCCaptureGeometry.h"

namespace ovira::capture {
namespace {

constexpr Size kPhone{390, 844};

// The band the capture controls leave free on a window of `view`: the top
// bar, title and guide take 150 points, the shutter row 112.
Rect controlsBand(Size view) {
    return {0, 150, view.width, view.height - 150 - 112};
}

void expectNear(const Rect& actual, const Rect& expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-6) << what;
    EXPECT_NEAR(actual.width, expected.width, 1e-6) << what;
    EXPECT_NEAR(actual.height, expected.height, 1e-6) << what;
}

TEST(CaptureGeometry, APhoneKeepsItsWindowWhateverItsControlsAndCamera) {
    const Rect card = cardWindow(kPhone);
    EXPECT_DOUBLE_EQ(card.x, 19.5);
    EXPECT_DOUBLE_EQ(card.width, 351);
    EXPECT_NEAR(card.height, 221.34, 0.005);
    EXPECT_NEAR(card.y, 311.33, 0.005);
    EXPECT_NEAR(cardCornerRadius(card), 12.29, 0.005);
    EXPECT_EQ(faceSquare(kPhone), (Rect{44, 271, 302, 302}));
    EXPECT_TRUE(faceSquare(Size{60, 100}).isEmpty()) << "a view narrower than the inset has no circle";

    // With the controls over it and a portrait camera's picture (3:4 and
    // 9:16), the phone's window stays exactly where it was.
    for (const Size frame : {Size{3024, 4032}, Size{1080, 1920}, Size{720, 1280}}) {
        const WindowLayout layout{kPhone, controlsBand(kPhone), videoRect({kPhone, frame})};
        EXPECT_EQ(cardWindow(layout), card) << frame.width << "x" << frame.height;
        EXPECT_EQ(faceSquare(layout), (Rect{44, 271, 302, 302})) << frame.width << "x" << frame.height;
    }
}

TEST(CaptureGeometry, TheWindowIsTheLargestThatFitsBetweenTheControlsOnEveryWindow) {
    struct Case {
        const char* name;
        Size view;
        bool cardHeightLimited;
        bool faceHeightLimited;
    } cases[] = {
        {"phone 390 x 844", kPhone, false, false},         {"desktop 1280 x 800", {1280, 800}, true, true},
        {"desktop 1920 x 1080", {1920, 1080}, true, true}, {"tablet 800 x 1280", {800, 1280}, false, false},
        {"square 800 x 800", {800, 800}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowLayout layout{c.view, controlsBand(c.view), {}};
        const Rect area = layout.area();
        EXPECT_EQ(area, (Rect{0, 150 + controlsGap, c.view.width, c.view.height - 262 - 2 * controlsGap}));

        const Rect card = cardWindow(layout);
        EXPECT_TRUE(area.contains(card)) << "never under a control";
        EXPECT_NEAR(card.height / card.width, cardAspectRatio, 1e-12);
        EXPECT_NEAR(card.x + card.width / 2, c.view.width / 2, 1e-9) << "centred across";
        if (c.cardHeightLimited)
            EXPECT_NEAR(card.height, area.height, 1e-9);
        else
            EXPECT_NEAR(card.width, c.view.width * cardWidthRatio, 1e-9);

        const Rect face = faceSquare(layout);
        EXPECT_TRUE(area.contains(face));
        EXPECT_EQ(face.width, face.height);
        EXPECT_NEAR(face.width, c.faceHeightLimited ? area.height : c.view.width - faceCircleInset, 1e-9);
    }

    // A 1280 x 800 window: 514 points free, so a card of 815 x 514.
    const WindowLayout desktop{{1280, 800}, controlsBand({1280, 800}), {}};
    expectNear(cardWindow(desktop), {(1280 - 514 / cardAspectRatio) / 2, 162, 514 / cardAspectRatio, 514},
               "desktop card");
    expectNear(faceSquare(desktop), {383, 162, 514, 514}, "desktop face");
}

TEST(CaptureGeometry, TheWindowStaysOnThePicture) {
    // A landscape webcam on a portrait window: the picture is a band of
    // 390 x 219.4, and the card and the circle fit inside it.
    const Rect picture = videoRect({kPhone, {1920, 1080}});
    expectNear(picture, {0, (844 - 219.375) / 2, 390, 219.375}, "fitted picture");
    const WindowLayout layout{kPhone, controlsBand(kPhone), picture};
    const Rect card = cardWindow(layout);
    EXPECT_TRUE(picture.contains(card));
    EXPECT_NEAR(card.height, picture.height, 1e-9);
    EXPECT_NEAR(faceSquare(layout).width, picture.height, 1e-9);

    // A portrait camera on a landscape window: the picture's width limits the card.
    const Rect tall = videoRect({{1280, 800}, {1080, 1920}});
    const Rect narrow = cardWindow({{1280, 800}, controlsBand({1280, 800}), tall});
    EXPECT_NEAR(narrow.width, tall.width * cardWidthRatio, 1e-9);
    EXPECT_TRUE(tall.contains(narrow));

    // A picture that fills the view covers it all: only the controls limit.
    const WindowLayout filled{kPhone, controlsBand(kPhone),
                              videoRect({kPhone, {1920, 1080}, VideoGravity::aspectFill})};
    EXPECT_EQ(cardWindow(filled), cardWindow(kPhone));

    // Controls that leave nothing free do not take the window away.
    const WindowLayout cramped{{400, 200}, {0, 100, 400, 10}, {}};
    EXPECT_FALSE(cardWindow(cramped).isEmpty());
}

TEST(CaptureGeometry, FramesMapOntoTheViewAndBackForEveryGravityAndMirror) {
    // A 640 x 480 frame on the phone, fitted: 390 x 292.5, letter-boxed at y 275.75.
    EXPECT_EQ(videoRect({kPhone, {640, 480}}), (Rect{0, 275.75, 390, 292.5}));
    EXPECT_EQ(frameToView({320, 240, 64, 48}, {kPhone, {640, 480}}), (Rect{195, 422, 39, 29.25}));
    EXPECT_EQ(frameToView({0, 0, 64, 48}, {kPhone, {640, 480}, VideoGravity::aspectFit, true}),
              (Rect{351, 275.75, 39, 29.25}))
        << "a mirrored preview shows the frame's left edge on the right";
    // Filled, the same frame is 1125.3 x 844 and overflows at both sides.
    expectNear(videoRect({kPhone, {640, 480}, VideoGravity::aspectFill}),
               {(390 - 640 * 844 / 480.0) / 2, 0, 640 * 844 / 480.0, 844}, "filled");
    EXPECT_TRUE(frameToView({0, 0, 1, 1}, {kPhone, {}}).isEmpty());
    EXPECT_TRUE(viewToFrame({0, 0, 1, 1}, {kPhone, {}}).isEmpty());

    const Rect inView{30, 300, 120, 80};
    for (const auto gravity : {VideoGravity::aspectFit, VideoGravity::aspectFill})
        for (const bool mirrored : {false, true}) {
            const PreviewMapping preview{kPhone, {1920, 1080}, gravity, mirrored};
            expectNear(frameToView(viewToFrame(inView, preview), preview), inView, "round trip");
        }
}

TEST(CaptureGeometry, TheWindowBecomesTheStillsOwnPixels) {
    // A 1280 x 800 window showing a 1920 x 1080 webcam: 1.5 pixels a point.
    const PreviewMapping desktop{{1280, 800}, {1920, 1080}};
    const Rect window{240, 200, 800, 400};
    expectNear(stillRegion(window, desktop, {1920, 1080}), {360, 240, 1200, 600}, "webcam still");
    // Its still may be larger: the same scene, so the same share of it.
    expectNear(stillRegion(window, desktop, {3840, 2160}), {720, 480, 2400, 1200}, "4K still");
    // A 4:3 sensor streams 16:9 cut from its middle: the still holds more above and below.
    expectNear(stillRegion(window, desktop, {4032, 3024}), {756, 378 + 504, 2520, 1260}, "4:3 still");
    // Mirrored, the window's left side is the still's right side.
    const PreviewMapping selfie{{1280, 800}, {1920, 1080}, VideoGravity::aspectFit, true};
    expectNear(stillRegion({100, 200, 400, 400}, selfie, {1920, 1080}), {1920 - 750, 240, 600, 600},
               "mirrored");
    // Filled: a portrait view shows the middle of a landscape frame.
    const PreviewMapping filled{kPhone, {1920, 1080}, VideoGravity::aspectFill};
    const Rect middle = stillRegion(cardWindow(kPhone), filled, {1920, 1080});
    EXPECT_NEAR(middle.x + middle.width / 2, 960, 1e-9);
    EXPECT_NEAR(middle.width, 351 * 1080 / 844.0, 1e-9);
    // Without a frame on show, the preview is taken to show the still.
    expectNear(stillRegion(cardWindow(kPhone), {kPhone, {}}, {1080, 1920}),
               stillRegion(cardWindow(kPhone), {kPhone, {1080, 1920}}, {1080, 1920}), "no frame yet");
    // What lies beyond the picture is cut off; nothing at all gives nothing.
    EXPECT_EQ(stillRegion({0, 0, 1280, 800}, desktop, {1920, 1080}), (Rect{0, 0, 1920, 1080}));
    EXPECT_TRUE(stillRegion({}, desktop, {1920, 1080}).isEmpty());
    EXPECT_TRUE(stillRegion(window, desktop, {}).isEmpty());
}

TEST(CaptureGeometry, StillsTurnedBySensorsAreCutWhereTheUprightRegionLies) {
    // An upright still of 30 x 40 with a region at (2, 5), 10 x 8. A sensor
    // lying across gives it turned; the region's corners must follow the
    // same pixels. Checked by turning a point map by hand.
    const Size upright{30, 40};
    const Rect region{2, 5, 10, 8};
    struct Case {
        int turns;
        Rect arrived;
    } cases[] = {
        {0, region},
        {1, {5, 30 - 12, 8, 10}},  // arrived 40 x 30, turned clockwise once to stand up
        {2, {30 - 12, 40 - 13, 10, 8}},
        {3, {40 - 13, 2, 8, 10}},
        {-1, {40 - 13, 2, 8, 10}},
        {5, {5, 30 - 12, 8, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.turns);
        EXPECT_EQ(uprightToArrived(region, upright, c.turns), c.arrived);
        EXPECT_EQ(turned(upright, c.turns), c.turns % 2 ? (Size{40, 30}) : upright);
        // A turned picture's point (ax, ay) stands upright at these places.
        const auto uprightPoint = [&](double ax, double ay) -> std::pair<double, double> {
            const Size arrived = turned(upright, c.turns);
            switch (((c.turns % 4) + 4) % 4) {
                case 1:
                    return {arrived.height - ay, ax};
                case 2:
                    return {arrived.width - ax, arrived.height - ay};
                case 3:
                    return {ay, arrived.width - ax};
                default:
                    return {ax, ay};
            }
        };
        const auto [x1, y1] = uprightPoint(c.arrived.x, c.arrived.y);
        const auto [x2, y2] = uprightPoint(c.arrived.right(), c.arrived.bottom());
        EXPECT_EQ(std::min(x1, x2), region.x);
        EXPECT_EQ(std::min(y1, y2), region.y);
        EXPECT_EQ(std::max(x1, x2), region.right());
        EXPECT_EQ(std::max(y1, y2), region.bottom());
    }
}

TEST(CaptureGeometry, PhotographsAreNeverEnlargedAndReducedOnlyAboveTheirCap) {
    EXPECT_EQ(photographSize({351, 221}, cardMaxLongSide), (Size{351, 221})) << "a small crop stays small";
    EXPECT_EQ(photographSize({1234, 778}, cardMaxLongSide), (Size{1234, 778}));
    EXPECT_EQ(photographSize({2048, 1291}, cardMaxLongSide), (Size{2048, 1291})) << "the cap itself";
    EXPECT_EQ(photographSize({3629, 2288}, cardMaxLongSide), (Size{2048, std::round(2288 * 2048 / 3629.0)}));
    EXPECT_EQ(photographSize({2722, 2722}, faceMaxSide), (Size{1024, 1024}));
    EXPECT_EQ(photographSize({1000, 3000}, 1024), (Size{341, 1024})) << "the long side may be the height";
    EXPECT_TRUE(photographSize({0, 10}, 1024).isEmpty());
}

TEST(CaptureGeometry, FacesAreTestedAgainstTheCircleAsShown) {
    const Rect square = faceSquare(kPhone);
    EXPECT_TRUE(isFaceInside(square, square)) << "edges may touch";
    for (const Rect& out : {Rect{43, 271, 302, 302}, Rect{44, 270, 302, 302}, Rect{45, 271, 302, 302},
                            Rect{44, 272, 302, 302}}) {
        EXPECT_FALSE(isFaceInside(out, square)) << out.x << "," << out.y;
    }
    EXPECT_FALSE(isFaceInside({}, Rect{})) << "no circle holds no face";
}

}  // namespace
}  // namespace ovira::capture

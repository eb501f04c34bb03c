// The capture frame's geometry with the numbers of a 390 x 844 phone screen.
#include <gtest/gtest.h>

#include "capture/EKYCCaptureGeometry.h"

namespace ovira::capture {
namespace {

constexpr Size kPhone{390, 844};

TEST(CaptureGeometry, TheCardWindowAndTheFaceCircleOnAPhone) {
    const Rect card = cardWindow(kPhone);
    EXPECT_DOUBLE_EQ(card.x, 19.5);
    EXPECT_DOUBLE_EQ(card.width, 351);
    EXPECT_NEAR(card.height, 221.34, 0.005);
    EXPECT_NEAR(card.y, 311.33, 0.005);
    EXPECT_NEAR(cardCornerRadius(kPhone), 12.29, 0.005);
    EXPECT_EQ(faceSquare(kPhone), (Rect{44, 271, 302, 302}));
    EXPECT_EQ(cardOutputSize(kPhone).width, 351);
    EXPECT_EQ(faceOutputSize(), (Size{720, 720}));
    EXPECT_TRUE(faceSquare({60, 100}).isEmpty()) << "a view narrower than the inset has no circle";
}

TEST(CaptureGeometry, CropsKeepWhatLiesUnderTheWindow) {
    const Rect card = cardCrop({1000, 2000});
    EXPECT_EQ(card.x, 50);
    EXPECT_EQ(card.width, 900);
    EXPECT_NEAR(card.height, 567.5467, 1e-3);
    EXPECT_NEAR(card.y + card.height / 2, 1000, 1e-9) << "centred";
    EXPECT_EQ(faceCrop({1000, 2000}), (Rect{50, 550, 900, 900}));
    // A landscape frame is shorter than the square: the crop stops at its edges.
    EXPECT_EQ(faceCrop({1000, 600}), (Rect{50, 0, 900, 600}));
    EXPECT_TRUE(cardCrop({0, 0}).isEmpty());
}

TEST(CaptureGeometry, FacesAreTestedWhereTheyAppearOnScreen) {
    const Rect square = faceSquare(kPhone);
    EXPECT_TRUE(isFaceInside(square, kPhone)) << "edges may touch";
    for (const Rect& out : {Rect{43, 271, 302, 302}, Rect{44, 270, 302, 302}, Rect{45, 271, 302, 302},
                            Rect{44, 272, 302, 302}}) {
        EXPECT_FALSE(isFaceInside(out, kPhone)) << out.x << "," << out.y;
    }

    // A 640 x 480 frame on the phone: 390 x 292.5, letter-boxed at y 275.75.
    EXPECT_EQ(aspectFitRect({640, 480}, kPhone), (Rect{0, 275.75, 390, 292.5}));
    const Rect face = frameToView({320, 240, 64, 48}, {640, 480}, kPhone);
    EXPECT_EQ(face, (Rect{195, 422, 39, 29.25}));
    EXPECT_EQ(frameToView({0, 0, 64, 48}, {640, 480}, kPhone, true), (Rect{351, 275.75, 39, 29.25}))
        << "a mirrored preview shows the frame's left edge on the right";
    EXPECT_TRUE(frameToView({0, 0, 1, 1}, {0, 0}, kPhone).isEmpty());
}

}  // namespace
}  // namespace ovira::capture

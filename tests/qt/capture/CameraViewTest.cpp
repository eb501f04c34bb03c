// The overlay over the camera at 390 x 844: where the window is, what is
// dimmed and where the outline shows, read back from rendered pixels.
#include <gtest/gtest.h>

#include "CameraTestSupport.h"
#include "capture/EKYCCameraPreviewLayer.h"
#include "resources/ColorAsset.h"

namespace ovira::test {
namespace {

using Media = EKYCFileCameraSource::Media;

constexpr int kDimOverWhite = 26;  // white under black at 0.9

// A white scene filling the preview: clear pixels are white, dimmed ones
// nearly black, the outline in its colour.
struct WhiteScene : FileCameraRig {
    explicit WhiteScene(EKYCCameraType type)
        : FileCameraRig(type, Media::frames({solidFrame({390, 844}, Qt::white)})) {
        service().startCamera();
        showNextFrame();
    }
    QColor pixel(int x, int y) { return rendered(*view).pixelColor(x, y); }
};

void expectShade(QColor pixel, int level, const char* where) {
    EXPECT_NEAR(pixel.red(), level, 3) << where;
    EXPECT_NEAR(pixel.green(), level, 3) << where;
    EXPECT_NEAR(pixel.blue(), level, 3) << where;
}

void expectColour(QColor pixel, QColor expected, const char* where) {
    EXPECT_NEAR(pixel.red(), expected.red(), 4) << where;
    EXPECT_NEAR(pixel.green(), expected.green(), 4) << where;
    EXPECT_NEAR(pixel.blue(), expected.blue(), 4) << where;
}

void expectRect(const QRectF& actual, const QRectF& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 0.01);
    EXPECT_NEAR(actual.y(), expected.y(), 0.01);
    EXPECT_NEAR(actual.width(), expected.width(), 0.01);
    EXPECT_NEAR(actual.height(), expected.height(), 0.01);
}

TEST(CameraView, CardWindowIsARoundedCardCentredOnThePhone) {
    WhiteScene scene(EKYCCameraType::card);
    const QPainterPath& window = scene.view->windowPath();
    expectRect(window.boundingRect(), {19.5, 311.33, 351, 221.34});
    // Along the corner's diagonal the arc of radius r leaves r(1 - 1/sqrt 2), 3.6 points, outside.
    const QPointF corner(19.5, 311.33);
    EXPECT_FALSE(window.contains(corner + QPointF(3.0, 3.0)));
    EXPECT_TRUE(window.contains(corner + QPointF(4.2, 4.2)));
    EXPECT_TRUE(scene.view->dimMaskPath().fillRule() == Qt::OddEvenFill);
}

TEST(CameraView, CardWindowIsClearTheRestDimmedAndOnlyTheCornersOutlined) {
    WhiteScene scene(EKYCCameraType::card);
    const QImage image = rendered(*scene.view);
    auto at = [&](int x, int y) { return image.pixelColor(x, y); };
    const QColor primary = ColorAsset::primary().color();

    expectShade(at(195, 422), 255, "centre of the window");
    expectShade(at(23, 422), 255, "inside the left edge");
    expectShade(at(195, 316), 255, "inside the top edge");
    expectShade(at(360, 522), 255, "inside the bottom-right corner");
    expectShade(at(10, 422), kDimOverWhite, "left of the window");
    expectShade(at(195, 300), kDimOverWhite, "above the window");
    expectShade(at(195, 540), kDimOverWhite, "below the window");
    expectShade(at(10, 100), kDimOverWhite, "top of the screen");

    // The brackets run 24 points from each corner along both edges.
    expectColour(at(18, 325), primary, "left edge near the top-left corner");
    expectColour(at(40, 310), primary, "top edge near the top-left corner");
    expectColour(at(370, 515), primary, "right edge near the bottom-right corner");
    expectColour(at(350, 533), primary, "bottom edge near the bottom-right corner");
    expectShade(at(18, 345), kDimOverWhite, "left edge past the bracket");
    expectShade(at(50, 310), kDimOverWhite, "top edge past the bracket");
    expectShade(at(195, 310), kDimOverWhite, "middle of the top edge");
}

TEST(CameraView, FaceWindowIsACircleWithAThinRingOutside) {
    WhiteScene scene(EKYCCameraType::face);
    expectRect(scene.view->windowPath().boundingRect(), {44, 271, 302, 302});
    const QImage image = rendered(*scene.view);
    auto at = [&](int x, int y) { return image.pixelColor(x, y); };
    const QColor primary = ColorAsset::primary().color();

    expectShade(at(195, 422), 255, "centre");
    expectShade(at(195, 273), 255, "just inside the top of the circle");
    expectShade(at(47, 422), 255, "just inside the left of the circle");
    expectShade(at(195, 265), kDimOverWhite, "above the ring");
    expectShade(at(60, 290), kDimOverWhite, "outside the circle, inside its square");
    // Half the 4-point line shows, just outside the window.
    expectColour(at(195, 269), primary, "ring at the top");
    expectColour(at(346, 422), primary, "ring at the right");
    expectColour(at(195, 573), primary, "ring at the bottom");
}

TEST(CameraView, OutlineFollowsTheFaceCheckUntilTheNextLayout) {
    WhiteScene scene(EKYCCameraType::face);
    const QColor primary = ColorAsset::primary().color(), red = ColorAsset::red().color();
    scene.view->setFocusValid(false);
    EXPECT_EQ(scene.view->focusColor(), red);
    expectColour(scene.pixel(195, 269), red, "ring after a face outside");
    scene.view->setFocusValid(true);
    expectColour(scene.pixel(195, 269), primary, "ring after a face inside");

    scene.view->setFocusValid(false);
    scene.view->resize(390, 845);
    EXPECT_EQ(scene.view->focusColor(), primary) << "every layout starts the outline afresh";
}

TEST(CameraView, PreviewFitsTheFrameWholeAndMirrorsTheFrontCamera) {
    // A square frame, left half red and right half blue, from the front camera.
    QImage frame = solidFrame({600, 600}, Qt::red);
    for (int y = 0; y < 600; ++y)
        for (int x = 300; x < 600; ++x) frame.setPixelColor(x, y, Qt::blue);
    FileCameraRig rig(EKYCCameraType::face, Media::frames({frame}));
    rig.service().startCamera();
    rig.showNextFrame();
    EXPECT_TRUE(rig.service().previewLayer()->isMirrored());
    expectRect(rig.service().previewLayer()->videoRect(), {0, 227, 390, 390});

    const QImage image = rendered(*rig.view);
    expectColour(image.pixelColor(100, 422), Qt::blue, "the frame's right half shows on the left");
    expectColour(image.pixelColor(290, 422), Qt::red, "the frame's left half shows on the right");
    expectShade(image.pixelColor(195, 100), 0, "letter-box above the picture");
    expectShade(image.pixelColor(195, 800), 0, "letter-box below the picture");
}

TEST(CameraView, NoCameraAtTheWantedPositionLeavesTheWindowBlack) {
    FileCameraRig rig(EKYCCameraType::card, Media::frames({solidFrame({390, 844}, Qt::white)}),
                      {EKYCCameraPosition::front});
    rig.service().startCamera();
    rig.showNextFrame();
    EXPECT_FALSE(rig.service().isRunning());
    EXPECT_EQ(rig.camera->deliveredFrames(), 0);
    expectShade(rendered(*rig.view).pixelColor(195, 422), 0, "centre of the window");
}

}  // namespace
}  // namespace ovira::test

// The overlay over the camera at 390 x 844: where the window is, what is
// dimmed and where the outline shows, read back from rendered pixels.
#include <gtest/gtest.h>

#include "CameraTestSupport.h"
#include "capture/EKYCCameraPreviewLayer.h"
#include "resources/ColorAsset.h"

namespace ovira::test {
namespace {

using Media = EKYCFileCameraSource::Media;

const QColor kDimOverWhite(26, 26, 26);  // white under black at 0.9

// A white scene filling the preview: clear pixels are white, dimmed ones
// nearly black, the outline in its colour.
struct WhiteScene : FileCameraRig {
    explicit WhiteScene(EKYCCameraType type)
        : FileCameraRig(type, Media::frames({solidFrame({390, 844}, Qt::white)})) {
        service().startCamera();
        showNextFrame();
    }
};

// A rendered pixel, each channel within 3 of `expected` for a grey, within 4 for a colour.
struct Probe {
    int x, y;
    QColor expected;
    const char* where;
};
void expectPixels(const QImage& image, std::initializer_list<Probe> probes) {
    for (const Probe& probe : probes) {
        const QColor pixel = image.pixelColor(probe.x, probe.y);
        const QColor& e = probe.expected;
        const int tolerance = e.red() == e.green() && e.green() == e.blue() ? 3 : 4;
        EXPECT_NEAR(pixel.red(), probe.expected.red(), tolerance) << probe.where;
        EXPECT_NEAR(pixel.green(), probe.expected.green(), tolerance) << probe.where;
        EXPECT_NEAR(pixel.blue(), probe.expected.blue(), tolerance) << probe.where;
    }
}

void expectRect(const QRectF& actual, const QRectF& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 0.01);
    EXPECT_NEAR(actual.y(), expected.y(), 0.01);
    EXPECT_NEAR(actual.width(), expected.width(), 0.01);
    EXPECT_NEAR(actual.height(), expected.height(), 0.01);
}

TEST(CameraView, CardWindowIsARoundedCardClearTheRestDimmedAndOnlyTheCornersOutlined) {
    WhiteScene scene(EKYCCameraType::card);
    const QPainterPath& window = scene.view->windowPath();
    expectRect(window.boundingRect(), {19.5, 311.33, 351, 221.34});
    // Along the corner's diagonal the arc of radius r leaves r(1 - 1/sqrt 2), 3.6 points, outside.
    const QPointF corner(19.5, 311.33);
    EXPECT_FALSE(window.contains(corner + QPointF(3.0, 3.0)));
    EXPECT_TRUE(window.contains(corner + QPointF(4.2, 4.2)));
    EXPECT_TRUE(scene.view->dimMaskPath().fillRule() == Qt::OddEvenFill);

    const QColor primary = ColorAsset::primary().color();
    expectPixels(rendered(*scene.view), {{195, 422, Qt::white, "centre of the window"},
                                         {23, 422, Qt::white, "inside the left edge"},
                                         {195, 316, Qt::white, "inside the top edge"},
                                         {360, 522, Qt::white, "inside the bottom-right corner"},
                                         {10, 422, kDimOverWhite, "left of the window"},
                                         {195, 300, kDimOverWhite, "above the window"},
                                         {195, 540, kDimOverWhite, "below the window"},
                                         {10, 100, kDimOverWhite, "top of the screen"},
                                         // The brackets run 24 points from each corner along both edges.
                                         {18, 325, primary, "left edge near the top-left corner"},
                                         {40, 310, primary, "top edge near the top-left corner"},
                                         {370, 515, primary, "right edge near the bottom-right corner"},
                                         {350, 533, primary, "bottom edge near the bottom-right corner"},
                                         {18, 345, kDimOverWhite, "left edge past the bracket"},
                                         {50, 310, kDimOverWhite, "top edge past the bracket"},
                                         {195, 310, kDimOverWhite, "middle of the top edge"}});
}

TEST(CameraView, FaceWindowIsACircleWithAThinRingOutsideThatFollowsTheFaceCheckUntilTheNextLayout) {
    WhiteScene scene(EKYCCameraType::face);
    expectRect(scene.view->windowPath().boundingRect(), {44, 271, 302, 302});
    const QColor primary = ColorAsset::primary().color(), red = ColorAsset::red().color();
    expectPixels(rendered(*scene.view), {{195, 422, Qt::white, "centre"},
                                         {195, 273, Qt::white, "just inside the top of the circle"},
                                         {47, 422, Qt::white, "just inside the left of the circle"},
                                         {195, 265, kDimOverWhite, "above the ring"},
                                         {60, 290, kDimOverWhite, "outside the circle, inside its square"},
                                         // Half the 4-point line shows, just outside the window.
                                         {195, 269, primary, "ring at the top"},
                                         {346, 422, primary, "ring at the right"},
                                         {195, 573, primary, "ring at the bottom"}});

    scene.view->setFocusValid(false);
    EXPECT_EQ(scene.view->focusColor(), red);
    expectPixels(rendered(*scene.view), {{195, 269, red, "ring after a face outside"}});
    scene.view->setFocusValid(true);
    expectPixels(rendered(*scene.view), {{195, 269, primary, "ring after a face inside"}});

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
    expectPixels(rendered(*rig.view), {{100, 422, Qt::blue, "the frame's right half shows on the left"},
                                       {290, 422, Qt::red, "the frame's left half shows on the right"},
                                       {195, 100, Qt::black, "letter-box above the picture"},
                                       {195, 800, Qt::black, "letter-box below the picture"}});
}

TEST(CameraView, NoCameraAtTheWantedPositionLeavesTheWindowBlack) {
    FileCameraRig rig(EKYCCameraType::card, Media::frames({solidFrame({390, 844}, Qt::white)}),
                      {EKYCCameraPosition::front});
    rig.service().startCamera();
    rig.showNextFrame();
    EXPECT_FALSE(rig.service().isRunning());
    EXPECT_EQ(rig.camera->deliveredFrames(), 0);
    expectPixels(rendered(*rig.view), {{195, 422, Qt::black, "centre of the window"}});
}

}  // namespace
}  // namespace ovira::test

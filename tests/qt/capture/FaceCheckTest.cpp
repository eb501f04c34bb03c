// The face check end to end on real pictures: the file camera plays a
// scene, the library's detector examines it, the service tests the face
// against the circle as the letter-boxed preview shows it.
#include <gtest/gtest.h>

#include "CameraTestSupport.h"

namespace ovira::test {
namespace {

using Media = EKYCFileCameraSource::Media;

// A 9:16 camera frame shown on a 390 x 844 preview: letter-boxed, 75 points of band above and below.
constexpr QSize kFrame{720, 1280};

QImage picture(const char* name, double scale) {
    const QImage image(QString::fromStdString(testData(name)));
    return image.scaled(image.size() * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// Where the astronaut picture, three times its size, must be centred for
// its face (found at about (680, 390) of it) to be centred at `face`.
QPointF astronautAt(QPointF face) {
    return face + QPointF(88, 378);
}

std::vector<bool> faceReports(const std::vector<QImage>& frames) {
    FileCameraRig rig(EKYCCameraType::face, Media::frames(frames), {EKYCCameraPosition::front});
    rig.service().startCamera();
    for (std::size_t i = 0; i < frames.size(); ++i) rig.showNextFrame();
    return rig.delegate.faces;
}

TEST(FaceCheck, AFaceMovingIntoTheCircleIsReportedOutsideThenInside) {
    qtApplication();
    const QImage astronaut = picture("astronaut.png", 3);
    const auto frames = EKYCFileCameraSource::composedFrames(
        astronaut, kFrame,
        {astronautAt({360, 200}), astronautAt({360, 420}), astronautAt({360, 640}), astronautAt({180, 900})});
    EXPECT_EQ(faceReports(frames), (std::vector<bool>{false, false, true, false}))
        << "above the circle, its top edge cut by the circle, centred, off to the lower left";
}

TEST(FaceCheck, ACatIsNoFaceAndReportsNothing) {
    qtApplication();
    const auto frames =
        EKYCFileCameraSource::composedFrames(picture("chelsea.png", 1.5), kFrame, {{360, 640}});
    EXPECT_TRUE(faceReports(frames).empty());
}

}  // namespace
}  // namespace ovira::test

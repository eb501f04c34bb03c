// The face check end to end on real pictures: the file camera plays a
// scene, the library's detector examines it, the service tests the face
// against the circle as the letter-boxed preview shows it. And pictures of
// the camera screens as a user sees them, saved under the build folder
// (screenshots/capture) for review.
#include <gtest/gtest.h>

#include <QDir>

#include "CameraTestSupport.h"
#include "CaptureScenes.h"
#include "resources/Localized.h"

namespace ovira::test {
namespace {

using Media = EKYCFileCameraSource::Media;

std::vector<bool> faceReports(const std::vector<QImage>& frames) {
    FileCameraRig rig(EKYCCameraType::face, Media::frames(frames), {EKYCCameraPosition::front});
    rig.service().startCamera();
    for (std::size_t i = 0; i < frames.size(); ++i) rig.showNextFrame();
    return rig.delegate.faces;
}

TEST(FaceCheck, AFaceMovingIntoTheCircleIsReportedOutsideThenInside) {
    qtApplication();
    // 9:16 camera frames shown on a 390 x 844 preview: letter-boxed, 75 points of band above and below.
    EXPECT_EQ(faceReports({selfie({360, 200}), selfie({360, 420}), selfie({360, 640}), selfie({180, 900})}),
              (std::vector<bool>{false, false, true, false}))
        << "above the circle, its top edge cut by the circle, centred, off to the lower left";
}

TEST(FaceCheck, ACatIsNoFaceAndReportsNothing) {
    qtApplication();
    const QImage cat(QString::fromStdString(testData("chelsea.png")));
    EXPECT_TRUE(faceReports(EKYCFileCameraSource::composedFrames(
                                cat.scaled(cat.size() * 1.5, Qt::KeepAspectRatio, Qt::SmoothTransformation),
                                {720, 1280}, {{360, 640}}))
                    .empty());
}

// A capture screen's two views, the camera under the controls, with one frame played.
TEST(CaptureScreenshots, CardAndFaceScreensWithAFramePlaying) {
    qtApplication();
    const struct {
        const char* file;
        EKYCCameraType type;
        QImage scene;
        std::vector<bool> faces;  // as the face check reports them
    } shots[] = {{"card.png", EKYCCameraType::card, documentOnADesk(), {}},
                 {"face.png", EKYCCameraType::face, selfie({360, 640}), {true}},
                 {"face-outside.png", EKYCCameraType::face, selfie({360, 250}), {false}}};
    const QDir folder(QStringLiteral(OVIRA_SCREENSHOT_DIR));
    QDir().mkpath(folder.path());
    for (const auto& shot : shots) {
        SCOPED_TRACE(shot.file);
        const bool card = shot.type == EKYCCameraType::card;
        FileCameraRig rig(shot.type, Media::frames({shot.scene}));
        EKYCAccessoryCameraView controls(rig.view.get());
        controls.setGeometry(0, 44, 390, 800);  // below a phone's status bar
        RecordingControlsDelegate screen(card, localizedText(card ? "capture.front" : "capture.face"));
        controls.setDelegate(&screen);
        controls.show();
        rig.service().startCamera();
        rig.showNextFrame();
        EXPECT_EQ(rig.delegate.faces, shot.faces);
        EXPECT_EQ(controls.btnFlash->isHidden(), !card);
        // Shown as a face screen shows the check's answer.
        const bool inside = !shot.faces.empty() && shot.faces.back();
        if (!card) {
            rig.view->setFocusValid(inside);
            controls.btnCapture->setEnabled(inside);
        }
        const QString path = folder.filePath(QString::fromLatin1(shot.file));
        EXPECT_TRUE(rig.view->grab().save(path)) << path.toStdString();
        EXPECT_EQ(QImage(path).size(), QSize(390, 844));
    }
}

}  // namespace
}  // namespace ovira::test

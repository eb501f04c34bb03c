// Pictures of the camera screens as a user sees them, with a file camera
// playing: a document on a desk under the card window, a face in the
// circle. Saved under the build folder (screenshots/capture) for review.
#include <gtest/gtest.h>

#include <QDir>

#include "CameraTestSupport.h"
#include "CaptureScenes.h"
#include "capture/EKYCAccessoryCameraView.h"
#include "resources/Localized.h"

namespace ovira::test {
namespace {

using Media = EKYCFileCameraSource::Media;

// What a capture screen does with its two views, enough for a picture.
class ScreenStandIn : public QWidget,
                      public EKYCCameraDetectionServiceDelegate,
                      public EKYCAccessoryCameraViewViewDelegate {
public:
    ScreenStandIn(EKYCCameraType type, std::unique_ptr<EKYCCameraSource> source) : type_(type) {
        resize(390, 844);
        camera =
            new EKYCCameraView(type, std::make_unique<EKYCCameraDetectionService>(std::move(source)), this);
        camera->setGeometry(rect());
        controls = new EKYCAccessoryCameraView(this);
        controls->setGeometry(0, 44, 390, 800);  // below a phone's status bar
        camera->cameraService()->setDelegate(this);
        controls->setDelegate(this);
        show();
    }
    ~ScreenStandIn() override { camera->cameraService()->setDelegate(nullptr); }

    void didCaptureImage(ImagePtr) override {}
    bool isCardMode() override { return type_ == EKYCCameraType::card; }
    void didValidateFace(bool isValid) override {
        camera->setFocusValid(isValid);
        controls->btnCapture->setEnabled(isValid);
    }
    void didFailCapture() override {}
    void didSelectGuide() override {}
    void didSelectClose() override {}
    void didToggleFlash(bool) override {}
    void didSelectCapture() override {}
    void didSelectSwitchCamera() override {}
    std::optional<QString> captureTitle() override {
        return localizedText(type_ == EKYCCameraType::card ? "capture.front" : "capture.face");
    }

    EKYCCameraView* camera;
    EKYCAccessoryCameraView* controls;

private:
    EKYCCameraType type_;
};

QString saved(ScreenStandIn& screen, const char* name) {
    const QString folder = QStringLiteral(OVIRA_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + QString::fromLatin1(name);
    EXPECT_TRUE(screen.grab().save(path)) << path.toStdString();
    return path;
}

std::unique_ptr<EKYCFileCameraSource> fileCamera(const QImage& scene) {
    auto camera = std::make_unique<EKYCFileCameraSource>(Media::frames({scene}));
    camera->setFrameInterval(std::chrono::milliseconds(0));
    return camera;
}

void playOneFrame(ScreenStandIn& screen, EKYCFileCameraSource& camera) {
    screen.camera->cameraService()->startCamera();
    camera.deliverNextFrame();
    screen.camera->cameraService()->waitUntilDetectionIdle();
    drainEvents();
}

TEST(CaptureScreenshots, CardAndFaceScreensWithAFramePlaying) {
    qtApplication();
    {
        auto source = fileCamera(documentOnADesk());
        auto* camera = source.get();
        ScreenStandIn screen(EKYCCameraType::card, std::move(source));
        playOneFrame(screen, *camera);
        EXPECT_FALSE(screen.controls->btnFlash->isHidden());
        const QImage shot = QImage(saved(screen, "card.png"));
        EXPECT_EQ(shot.size(), QSize(390, 844));
    }
    const struct {
        const char* file;
        QPointF face;
        bool inside;
    } faces[] = {{"face.png", {360, 640}, true}, {"face-outside.png", {360, 250}, false}};
    for (const auto& scene : faces) {
        SCOPED_TRACE(scene.file);
        auto source = fileCamera(selfie(scene.face));
        auto* camera = source.get();
        ScreenStandIn screen(EKYCCameraType::face, std::move(source));
        playOneFrame(screen, *camera);
        EXPECT_EQ(screen.controls->btnCapture->isEnabled(), scene.inside);
        EXPECT_EQ(QImage(saved(screen, scene.file)).size(), QSize(390, 844));
    }
}

}  // namespace
}  // namespace ovira::test

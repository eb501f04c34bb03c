// The camera service over the file camera: the photograph's crop, the
// threads things happen on, the face check and its frames, the torch.
#include <gtest/gtest.h>

#include <future>

#include "CameraTestSupport.h"
#include "capture/EKYCCameraPreviewLayer.h"
#include "platform/QImageAdapter.h"
#include "support/LogCapture.h"
#include "ui/animation/ViewAnimation.h"

namespace ovira::test {
namespace {

using capture::Rect;
using Media = EKYCFileCameraSource::Media;
using Settings = EKYCCameraDetectionService::CropSettings;

// Answers every frame with the same faces; remembers the first pixel of each
// frame it saw. One that holds its first frame until released lets later
// frames pile up. Faces are in the pixels of frames of `camera` size, and
// scaled to the (smaller) frame the detector is given.
class ScriptedDetector : public EKYCFaceDetector {
public:
    explicit ScriptedDetector(std::vector<Rect> faces = {}, bool holdFirst = false, QSize camera = {})
        : faces_(std::move(faces)), hold_(holdFirst), camera_(camera) {}
    std::vector<Rect> detectFaces(const RasterImage& frame) override {
        if (hold_.exchange(false)) {
            entered.set_value();
            release.get_future().wait();
        }
        std::lock_guard lock(mutex_);
        seen_.push_back(frame.pixels().at(0));
        sizes_.emplace_back(frame.width(), frame.height());
        if (camera_.isEmpty()) return faces_;
        const double scale = double(frame.width()) / camera_.width();
        std::vector<Rect> scaled;
        for (const Rect& face : faces_)
            scaled.push_back({face.x * scale, face.y * scale, face.width * scale, face.height * scale});
        return scaled;
    }
    std::vector<QSize> sizes() const {
        std::lock_guard lock(mutex_);
        return sizes_;
    }
    std::vector<int> seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::promise<void> entered, release;

private:
    std::vector<Rect> faces_;
    std::atomic<bool> hold_;
    QSize camera_;
    mutable std::mutex mutex_;
    std::vector<int> seen_;
    std::vector<QSize> sizes_;
};

QImage grey(int level, QSize size = {390, 844}) {
    return solidFrame(size, QColor(level, level, level));
}

// A scene whose every pixel says where it lies: red grows from left to
// right, green from top to bottom. Any resolution of the same scene gives a
// point the same colour, so a photograph can be compared with the preview.
QImage positionScene(QSize size) {
    QImage scene(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(scene.scanLine(y));
        const int green = (y * 255 + size.height() / 2) / std::max(1, size.height() - 1);
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb((x * 255 + size.width() / 2) / std::max(1, size.width() - 1), green, 0);
    }
    return scene;
}

QColor colourAt(const RasterImage& photo, double x, double y) {
    const int px = std::clamp(int(x), 0, photo.width() - 1), py = std::clamp(int(y), 0, photo.height() - 1);
    const auto* c = photo.pixels().data() + (std::size_t(py) * photo.width() + px) * 3;
    return QColor(c[0], c[1], c[2]);
}

// Photographs taken through the whole path (file camera, preview, window,
// still, crop) keep the camera's pixels under the window, whatever the
// window, the camera's orientation and size, the mirror and the still's
// turn; and what the preview shows inside the window is what the
// photograph holds. Run at device pixel ratios 1, 2 and 3 (QT_SCALE_FACTOR):
// the photographs are the same.
TEST(CameraDetectionService, PhotographsKeepTheCamerasPixelsUnderTheWindow) {
    struct Case {
        const char* name;
        EKYCCameraType type;
        QSize view;
        QSize scene;   // the camera's full resolution (stills)
        QSize stream;  // its live frames; empty: the scene's size
        int turns;     // stills arrive turned by the sensor
        capture::VideoGravity gravity;
        QSizeF photo;  // expected, ±1 pixel
        bool lowResolution;
    } cases[] = {
        {"phone, portrait camera", EKYCCameraType::card, {390, 844}, {1440, 2560}, {}, 0,
         capture::VideoGravity::aspectFit, {1296, 817.27}, false},
        {"desktop 1280 x 800, 1920 x 1080 webcam", EKYCCameraType::card, {1280, 800}, {1920, 1080}, {}, 0,
         capture::VideoGravity::aspectFit, {720 / capture::cardAspectRatio * 1.5, 1080}, false},
        {"desktop, 4032 x 3024 still streaming 1280 x 720", EKYCCameraType::card, {1280, 800}, {4032, 3024},
         {1280, 720}, 0, capture::VideoGravity::aspectFit, {2048, 2048 * capture::cardAspectRatio}, false},
        {"landscape webcam on a portrait window", EKYCCameraType::card, {390, 844}, {1920, 1080}, {}, 0,
         capture::VideoGravity::aspectFit, {1080 / capture::cardAspectRatio, 1080}, false},
        {"portrait camera on a landscape window", EKYCCameraType::card, {1280, 800}, {1080, 1920}, {}, 0,
         capture::VideoGravity::aspectFit, {972, 972 * capture::cardAspectRatio}, true},
        {"landscape webcam filling a portrait window", EKYCCameraType::card, {390, 844}, {1920, 1080}, {}, 0,
         capture::VideoGravity::aspectFill, {351 * 1080 / 844.0, 351 * 1080 / 844.0 * capture::cardAspectRatio},
         true},
        {"phone still turned by the sensor", EKYCCameraType::card, {390, 844}, {3024, 4032}, {1080, 1440}, 1,
         capture::VideoGravity::aspectFit, {2048, 2048 * capture::cardAspectRatio}, false},
        {"phone still upside down", EKYCCameraType::card, {390, 844}, {1440, 2560}, {}, 2,
         capture::VideoGravity::aspectFit, {1296, 817.27}, false},
        {"mirrored front webcam on a desktop", EKYCCameraType::face, {1280, 800}, {1280, 720}, {}, 0,
         capture::VideoGravity::aspectFit, {720, 720}, false},
        {"mirrored front camera on a phone", EKYCCameraType::face, {390, 844}, {1080, 1920}, {}, 0,
         capture::VideoGravity::aspectFit, {302 * 1080 / 390.0, 302 * 1080 / 390.0}, false},
        {"mirrored 4032 x 3024 still, turned the other way", EKYCCameraType::face, {1920, 1080}, {4032, 3024},
         {1920, 1080}, 3, capture::VideoGravity::aspectFit, {1024, 1024}, false},
        {"mirrored small webcam", EKYCCameraType::face, {390, 844}, {640, 480}, {}, 0,
         capture::VideoGravity::aspectFit, {480, 480}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage scene = positionScene(c.scene);
        FileCameraRig rig(c.type, Media::frames({scene}), {EKYCCameraPosition::back, EKYCCameraPosition::front},
                          std::make_shared<ScriptedDetector>(), c.view);
        if (!c.stream.isEmpty()) rig.camera->setFrameSize(c.stream);
        rig.camera->setStillTurns(c.turns);
        rig.service().previewLayer()->setVideoGravity(c.gravity);
        rig.service().startCamera();
        rig.showNextFrame();
        const QImage shown = rig.view->grab().toImage();
        const double ratio = shown.devicePixelRatio();
        EXPECT_DOUBLE_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble())
            << "the screen's pixel ratio this run is about";
        const QRectF window = rig.view->windowRect();
        ASSERT_FALSE(window.isEmpty());

        LogCapture log;
        rig.service().capturePhoto();
        drainEvents();
        rig.service().waitUntilCaptureIdle();
        const auto photographs = rig.delegate.photographs();
        ASSERT_EQ(photographs.size(), 1u);
        const auto* photo = dynamic_cast<const RasterImage*>(photographs[0].first.get());
        ASSERT_TRUE(photo);
        EXPECT_NEAR(photo->width(), c.photo.width(), 1.0);
        EXPECT_NEAR(photo->height(), c.photo.height(), 1.0);
        EXPECT_EQ(!log.lineContaining("low-resolution").empty(), c.lowResolution) << log.text();

        // Points inside the window (and the circle) on screen, and the same
        // points of the photograph; the photograph is the scene itself,
        // so a mirrored preview shows its left side on the right.
        const bool mirrored = c.type == EKYCCameraType::face;
        for (const double fx : {0.3, 0.7})
            for (const double fy : {0.3, 0.7}) {
                const QPointF onScreen(window.x() + (mirrored ? 1 - fx : fx) * window.width(),
                                       window.y() + fy * window.height());
                const QColor seen = shown.pixelColor((onScreen * ratio).toPoint());
                const QColor kept = colourAt(*photo, fx * photo->width(), fy * photo->height());
                EXPECT_NEAR(kept.red(), seen.red(), 3) << fx << "," << fy;
                EXPECT_NEAR(kept.green(), seen.green(), 3) << fx << "," << fy;
            }
    }
}

TEST(CameraDetectionService, CropsStillsOfEveryPixelFormatAlike) {
    qtApplication();
    const QImage scene = positionScene({800, 600});
    const Settings settings{true, {{800, 600}, {800, 600}}, {100, 100, 400, 252}};
    const ImagePtr reference = EKYCCameraDetectionService::cropImage(scene, 0, settings);
    ASSERT_TRUE(reference);
    ASSERT_EQ(QSize(reference->width(), reference->height()), QSize(400, 252));
    const auto& expected = dynamic_cast<const RasterImage&>(*reference);
    EXPECT_EQ(colourAt(expected, 0, 0), scene.pixelColor(100, 100));
    for (const auto format : {QImage::Format_RGBA8888, QImage::Format_RGB888, QImage::Format_BGR888,
                              QImage::Format_Grayscale8, QImage::Format_RGB16}) {
        SCOPED_TRACE(int(format));
        const ImagePtr photo = EKYCCameraDetectionService::cropImage(scene.convertToFormat(format), 0, settings);
        ASSERT_TRUE(photo);
        const QColor centre = colourAt(dynamic_cast<const RasterImage&>(*photo), 200, 126);
        const QColor want = scene.convertToFormat(format).pixelColor(300, 226);
        EXPECT_NEAR(centre.red(), want.red(), 8);
        EXPECT_NEAR(centre.green(), want.green(), 8);
    }
    EXPECT_FALSE(EKYCCameraDetectionService::cropImage(QImage(), 0, settings));
    EXPECT_FALSE(EKYCCameraDetectionService::cropImage(scene, 0, {true, {{800, 600}, {800, 600}}, {}}))
        << "a preview not laid out yet gives the window no size";
}

TEST(CameraDetectionService, PhotographArrivesCroppedOnTheCaptureThreadAndStopsTheSession) {
    for (const auto type : {EKYCCameraType::card, EKYCCameraType::face}) {
        const bool card = type == EKYCCameraType::card;
        SCOPED_TRACE(card ? "card" : "face");
        FileCameraRig rig(type, Media::frames({grey(200, {1080, 1920})}));
        rig.service().startCamera();
        rig.showNextFrame();
        ASSERT_TRUE(rig.service().isRunning());

        rig.service().capturePhoto();
        drainEvents();
        rig.service().waitUntilCaptureIdle();

        EXPECT_FALSE(rig.service().isRunning()) << "the preview freezes while the photograph is judged";
        const auto photographs = rig.delegate.photographs();
        ASSERT_EQ(photographs.size(), 1u);
        const auto& [photo, thread] = photographs[0];
        // A 1080 x 1920 frame on a phone: the camera's pixels under the window.
        const QSize size = card ? QSize(972, 612) : QSize(836, 836);
        EXPECT_EQ(QSize(photo->width(), photo->height()), size);
        EXPECT_NE(thread, std::this_thread::get_id());
        const auto jpeg = photo->jpegData(1.0);
        ASSERT_TRUE(jpeg.has_value());
        EXPECT_EQ(QImage::fromData(jpeg->data(), int(jpeg->size())).size(), size);
        EXPECT_EQ(rig.delegate.failures, 0);
    }
}

TEST(CameraDetectionService, PhotographWithoutAnImageIsReportedAndTheSessionCanRestart) {
    struct Case {
        const char* name;
        Media media;
        QSize viewSize;
    } cases[] = {
        {"unreadable file, no still", Media::image(QStringLiteral("/nonexistent/still.png")), {390, 844}},
        {"preview not laid out, nothing to crop to", Media::frames({grey(90)}), {0, 0}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileCameraRig rig(EKYCCameraType::card, c.media, {EKYCCameraPosition::back}, nullptr, c.viewSize);
        rig.service().startCamera();
        rig.showNextFrame();
        rig.service().capturePhoto();
        drainEvents();
        rig.service().waitUntilCaptureIdle();
        drainEvents();
        EXPECT_EQ(rig.delegate.failures, 1);
        EXPECT_TRUE(rig.delegate.photographs().empty());
        EXPECT_FALSE(rig.service().isRunning());
        rig.service().startRunning();
        EXPECT_TRUE(rig.service().isRunning());
    }
}

TEST(CameraDetectionService, CardScreensExamineNoFrame) {
    for (const auto type : {EKYCCameraType::card, EKYCCameraType::face}) {
        const bool face = type == EKYCCameraType::face;
        SCOPED_TRACE(face ? "face" : "card");
        auto detector =
            std::make_shared<ScriptedDetector>(std::vector<Rect>{{100, 400, 150, 150}}, false, QSize(390, 844));
        FileCameraRig rig(type, Media::frames({grey(10), grey(20)}),
                          {EKYCCameraPosition::back, EKYCCameraPosition::front}, detector);
        rig.service().startCamera();
        for (int i = 0; i < 4; ++i) rig.showNextFrame();
        EXPECT_EQ(rig.camera->deliveredFrames(), 4);
        EXPECT_EQ(detector->seen(), (face ? std::vector<int>{10, 20, 10, 20} : std::vector<int>{}));
        EXPECT_EQ(rig.delegate.faces, std::vector<bool>(face ? 4 : 0, true));
        rig.service().setDelegate(nullptr);
        rig.showNextFrame();
        EXPECT_EQ(detector->seen().size(), face ? 4u : 0u) << "without a screen, frames are not examined";
    }
}

TEST(CameraDetectionService, LateFramesAreDroppedForTheNewest) {
    auto detector = std::make_shared<ScriptedDetector>(std::vector<Rect>{}, true);
    FileCameraRig rig(EKYCCameraType::face, Media::frames({grey(10), grey(20), grey(30), grey(40), grey(50)}),
                      {EKYCCameraPosition::front}, detector);
    rig.service().startCamera();
    rig.camera->deliverNextFrame();
    detector->entered.get_future().wait();
    for (int i = 0; i < 4; ++i) rig.camera->deliverNextFrame();
    detector->release.set_value();
    rig.service().waitUntilDetectionIdle();
    EXPECT_EQ(detector->seen(), (std::vector<int>{10, 50}));
}

TEST(CameraDetectionService, EveryFaceIsReportedInTurnAgainstTheCircleAsShown) {
    // Frame and preview the same size: the circle's square is (44, 271, 302, 302) in both.
    const Rect square{44, 271, 302, 302};
    std::vector<Rect> faces = {square,
                               {43, 271, 302, 302},
                               {44, 270, 302, 302},
                               {45, 271, 302, 302},
                               {44, 272, 302, 302},
                               {150, 380, 90, 90}};
    auto detector = std::make_shared<ScriptedDetector>(faces, false, QSize(390, 844));
    FileCameraRig same(EKYCCameraType::face, Media::frames({grey(60)}), {EKYCCameraPosition::front}, detector);
    same.service().startCamera();
    same.showNextFrame();
    EXPECT_EQ(same.delegate.faces, (std::vector<bool>{true, false, false, false, false, true}));
    // The detector sees the frame reduced by a whole factor to at most 640
    // pixels on its long side; its faces are mapped back exactly.
    EXPECT_EQ(detector->sizes(), (std::vector<QSize>{QSize(195, 422)}));

    // A taller frame is letter-boxed (scale 390/720, 75.3 points of band above):
    // this face is inside the circle as shown, though not if the frame were stretched.
    FileCameraRig boxed(EKYCCameraType::face, Media::frames({grey(60, {720, 1280})}),
                        {EKYCCameraPosition::front},
                        std::make_shared<ScriptedDetector>(std::vector<Rect>{{100, 400, 500, 500}}, false,
                                                           QSize(720, 1280)));
    boxed.service().startCamera();
    boxed.showNextFrame();
    EXPECT_EQ(boxed.delegate.faces, (std::vector<bool>{true}));

    FileCameraRig unlaid(EKYCCameraType::face, Media::frames({grey(60)}), {EKYCCameraPosition::front},
                         std::make_shared<ScriptedDetector>(std::vector{square}), {0, 0});
    unlaid.service().startCamera();
    unlaid.showNextFrame();
    EXPECT_EQ(unlaid.delegate.faces, (std::vector<bool>{false})) << "no preview yet, no circle to be inside";
}

TEST(CameraDetectionService, TorchMessages) {
    struct Case {
        const char* name;
        bool open;
        EKYCFileCameraSource::Torch torch;
        std::string printed;
        std::string logged;
        bool onAfterwards;
    } cases[] = {
        {"no device", false, EKYCFileCameraSource::Torch::available, "not implement device\n", "", false},
        {"no torch", true, EKYCFileCameraSource::Torch::none, "", "", false},
        {"torch refuses", true, EKYCFileCameraSource::Torch::failing, "",
         "Unable to lock device for configuation: The torch is busy.", false},
        {"torch works", true, EKYCFileCameraSource::Torch::available, "", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileCameraRig rig(EKYCCameraType::card, Media::frames({grey(60)}));
        rig.camera->setTorch(c.torch);
        if (c.open) rig.service().startCamera();
        LogCapture log;
        testing::internal::CaptureStdout();
        rig.service().setTorch(true);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        if (c.logged.empty())
            EXPECT_EQ(log.text(), "");
        else
            EXPECT_NE(log.lineContaining(c.logged), "");
        EXPECT_EQ(rig.camera->isTorchOn(), c.onAfterwards);
        if (c.onAfterwards) {
            EXPECT_FLOAT_EQ(rig.camera->torchLevel(), 0.1f);
            rig.service().setTorch(false);
            EXPECT_FALSE(rig.camera->isTorchOn());
        }
    }
}

TEST(CameraDetectionService, ChoosesTheCameraByScreenAndSwitchesToTheOther) {
    ViewAnimation::setAnimationsEnabled(false);
    FileCameraRig card(EKYCCameraType::card, Media::frames({grey(60)}));
    card.service().startCamera();
    EXPECT_EQ(card.camera->position(), EKYCCameraPosition::back);
    EXPECT_FALSE(card.service().previewLayer()->isMirrored());
    card.service().switchCamera(card.view.get());
    EXPECT_EQ(card.camera->position(), EKYCCameraPosition::front);
    EXPECT_TRUE(card.service().previewLayer()->isMirrored());
    EXPECT_TRUE(card.service().isRunning());
    card.service().switchCamera(card.view.get());
    EXPECT_EQ(card.camera->position(), EKYCCameraPosition::back);

    FileCameraRig face(EKYCCameraType::face, Media::frames({grey(60)}), {EKYCCameraPosition::front});
    face.service().startCamera();
    EXPECT_EQ(face.camera->position(), EKYCCameraPosition::front);
    testing::internal::CaptureStdout();
    face.service().switchCamera(face.view.get());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(face.camera->position(), EKYCCameraPosition::front)
        << "no camera behind: keep the one that works";
    EXPECT_TRUE(face.service().isRunning());

    FileCameraRig noScreen(EKYCCameraType::card, Media::frames({grey(60)}));
    noScreen.service().setDelegate(nullptr);
    noScreen.service().startCamera();
    EXPECT_EQ(noScreen.camera->position(), EKYCCameraPosition::front);
    ViewAnimation::setAnimationsEnabled(true);
}

}  // namespace
}  // namespace ovira::test

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
// frame it saw. One that holds its first frame until released lets later frames pile up.
class ScriptedDetector : public EKYCFaceDetector {
public:
    explicit ScriptedDetector(std::vector<Rect> faces = {}, bool holdFirst = false)
        : faces_(std::move(faces)), hold_(holdFirst) {}
    std::vector<Rect> detectFaces(const RasterImage& frame) override {
        if (hold_.exchange(false)) {
            entered.set_value();
            release.get_future().wait();
        }
        std::lock_guard lock(mutex_);
        seen_.push_back(frame.pixels().at(0));
        return faces_;
    }
    std::vector<int> seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::promise<void> entered, release;

private:
    std::vector<Rect> faces_;
    std::atomic<bool> hold_;
    mutable std::mutex mutex_;
    std::vector<int> seen_;
};

QImage grey(int level, QSize size = {390, 844}) {
    return solidFrame(size, QColor(level, level, level));
}

// A still with its part under the window painted red, the rest grey.
QImage markedStill(QSize size, const Rect& window) {
    QImage still = grey(128, size);
    for (int y = int(window.y); y < int(window.bottom()); ++y)
        for (int x = int(window.x); x < int(window.right()); ++x) still.setPixelColor(x, y, Qt::red);
    return still;
}

bool redInside(const ImagePtr& image, int border) {
    const auto* photo = dynamic_cast<const RasterImage*>(image.get());
    if (!photo || photo->format() != RasterImage::Format::rgb) return false;
    for (int y = border; y < photo->height() - border; ++y)
        for (int x = border; x < photo->width() - border; ++x) {
            const auto* c = photo->pixels().data() + (std::size_t(y) * photo->width() + x) * 3;
            if (c[0] < 240 || c[1] > 15 || c[2] > 15) return false;
        }
    return true;
}

TEST(CameraDetectionService, CropsThePartUnderTheWindowAtThePhotographsSize) {
    qtApplication();
    const QSize still(1080, 1920);
    const capture::Size image{1080, 1920}, phone{390, 844};
    struct Case {
        const char* name;
        Settings settings;
        Rect window;
        QSize pixels;
        QImage::Format format;
    } cases[] = {
        {"card", {true, phone, 1}, capture::cardCrop(image), {351, 221}, QImage::Format_RGB32},
        {"card on a 2x screen", {true, phone, 2}, capture::cardCrop(image), {702, 443}, QImage::Format_RGBA8888},
        {"face", {false, phone, 1}, capture::faceCrop(image), {720, 720}, QImage::Format_RGB888},
        {"face from a format cameras rarely give", {false, phone, 1}, capture::faceCrop(image), {720, 720},
         QImage::Format_RGB16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ImagePtr photo = EKYCCameraDetectionService::cropImage(
            markedStill(still, c.window).convertToFormat(c.format), c.settings);
        ASSERT_TRUE(photo);
        EXPECT_EQ(QSize(photo->width(), photo->height()), c.pixels);
        EXPECT_TRUE(redInside(photo, 2)) << "only what lies under the window";
    }
    EXPECT_FALSE(EKYCCameraDetectionService::cropImage(QImage(), {true, phone, 1}));
    EXPECT_FALSE(EKYCCameraDetectionService::cropImage(grey(1, still), {true, {0, 0}, 1}))
        << "a preview not laid out yet gives a card no size";
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
        const QSize size = card ? QSize(351, 221) : QSize(720, 720);
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
        auto detector = std::make_shared<ScriptedDetector>(std::vector<Rect>{{100, 400, 150, 150}});
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
    FileCameraRig same(EKYCCameraType::face, Media::frames({grey(60)}), {EKYCCameraPosition::front},
                       std::make_shared<ScriptedDetector>(faces));
    same.service().startCamera();
    same.showNextFrame();
    EXPECT_EQ(same.delegate.faces, (std::vector<bool>{true, false, false, false, false, true}));

    // A taller frame is letter-boxed (scale 390/720, 75.3 points of band above):
    // this face is inside the circle as shown, though not if the frame were stretched.
    FileCameraRig boxed(EKYCCameraType::face, Media::frames({grey(60, {720, 1280})}),
                        {EKYCCameraPosition::front},
                        std::make_shared<ScriptedDetector>(std::vector<Rect>{{100, 400, 500, 500}}));
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

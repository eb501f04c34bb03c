// The live guidance on real capture screens: file cameras play recorded
// sequences made from the test pictures (a card approaching, blurred, with
// a glare spot, too dark; a face too far, turned, then centred), the
// library's examiner and detector look at every frame, and the hints, the
// corners' colour, the device's refusal of bad photographs, the automatic
// capture and the attempts reported to the host are checked against the
// development service.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "CameraScenes.h"
#include "CaptureScenes.h"
#include "CaptureScreenSupport.h"
#include "FlowScreenSupport.h"
#include "ovira/OVIRA.h"
#include "ovira/OVIRACameraSettings.h"
#include "ovira/OVIRADelegate.h"
#include "resources/ColorAsset.h"
#include "resources/Localized.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "sdk/EKYCFlowReport.h"

namespace ovira {
namespace {

using Type = EkycTypeDocument;
using Media = EKYCFileCameraSource::Media;
using Hint = EKYCCaptureHint;
using Outcome = OVIRACaptureAttempt::Outcome;
using test::cameraOf;
using test::showFrame;

struct AttemptRecorder : OVIRADelegate {
    std::vector<OVIRACaptureAttempt> attempts;
    void didEKYCSuccessWithSessionId(const std::string&) override {}
    void didEKYCCaptureAttempt(const OVIRACaptureAttempt& attempt) override { attempts.push_back(attempt); }
};

QImage desk() {
    QImage frame(1440, 2560, QImage::Format_RGB32);
    frame.fill(QColor(110, 84, 62));
    return frame;
}

QImage astronaut() {
    return QImage(QString::fromStdString(test::testData("astronaut.png")));
}

class CaptureGuidance : public test::CaptureFlowTest {
protected:
    void SetUp() override {
        CaptureFlowTest::SetUp();
        OVIRA::instance().setDelegate(recorder);
        EKYCFlowReport::shared().open();
    }
    void TearDown() override {
        OVIRACameraSettings::setAutoCapture(false);
        CaptureFlowTest::TearDown();
        EKYCFlowReport::shared().closed();
        OVIRA::instance().setDelegate(std::weak_ptr<OVIRADelegate>());
    }

    // Where the screen's window lies in the camera's frames.
    static QRectF windowInFrame(EKYCBaseDetectionViewControllerBase* screen) {
        showFrame(screen);
        const QRectF window = screen->previewCamera->windowRect();
        const capture::Rect inFrame = capture::viewToFrame({window.x(), window.y(), window.width(), window.height()},
                                                           screen->cameraService().previewLayer()->mapping());
        return {inFrame.x, inFrame.y, inFrame.width, inFrame.height};
    }
    // The card held at `fill` of the window's width, `offset` off its centre.
    static QImage card(const QRectF& window, double fill, QPointF offset = {}) {
        const QSizeF size(window.width() * fill, window.width() * fill * 555 / 880);
        return scenes::documentOnADesk(astronaut(), {1440, 2560},
                                       QRectF(window.center() + offset - QPointF(size.width(), size.height()) / 2, size));
    }
    // Plays `frames` one by one; the hints shown, each once in the order they
    // came (the one shown before the first frame left out).
    static std::vector<std::string> play(EKYCBaseDetectionViewControllerBase* screen, std::vector<QImage> frames) {
        const std::size_t count = frames.size();
        cameraOf(screen).setMedia(Media::frames(std::move(frames)));
        const std::string before = screen->accessoryView->lbHint->text().toStdString();
        std::vector<std::string> shown;
        for (std::size_t i = 0; i < count; ++i) {
            showFrame(screen);
            const std::string hint = screen->accessoryView->lbHint->text().toStdString();
            if (shown.empty() && hint == before) continue;
            if (!hint.empty() && (shown.empty() || shown.back() != hint)) shown.push_back(hint);
        }
        return shown;
    }
    static std::vector<std::string> texts(std::initializer_list<Hint> hints) {
        std::vector<std::string> result;
        for (Hint hint : hints) result.push_back(localizedText(textKey(hint)).toStdString());
        return result;
    }
    // The rejection screen once it is on top.
    EKYCPreviewPhotoErrorViewController* waitForRefusal() const {
        EXPECT_TRUE(test::waitUntil([&] {
            return qobject_cast<EKYCPreviewPhotoErrorViewController*>(navigation->topViewController()) != nullptr;
        }));
        return qobject_cast<EKYCPreviewPhotoErrorViewController*>(navigation->topViewController());
    }
    static std::vector<QImage> repeated(const QImage& frame, int times) { return std::vector<QImage>(times, frame); }

    std::shared_ptr<AttemptRecorder> recorder = std::make_shared<AttemptRecorder>();
};

TEST_F(CaptureGuidance, ACardApproachingIsGuidedHintByHintToAGoodSteadyPlace) {
    for (const OVIRALanguage& language : {OVIRALanguage::vietnamese(), OVIRALanguage::english()}) {
        ASSERT_TRUE(OVIRALocalization::setLanguage(language));
        auto* screen = openScreen(EKYCStep::front, Type::idCard);
        waitUntilOnline(screen);
        const QRectF frameWindow = windowInFrame(screen);
        auto* controls = screen->accessoryView;

        std::vector<QImage> approach = repeated(desk(), 3);
        for (double fill : {0.45, 0.55, 0.65}) approach.push_back(card(frameWindow, fill));
        approach.push_back(card(frameWindow, 0.65));
        for (int step = 0; step < 3; ++step) approach.push_back(card(frameWindow, 0.94, {step * 40.0, 0}));
        for (QImage& still : repeated(card(frameWindow, 0.94, {80, 0}), 6)) approach.push_back(still);
        EXPECT_EQ(play(screen, approach),
                  texts({Hint::placeDocument, Hint::moveCloser, Hint::holdStill, Hint::ready}));
        EXPECT_TRUE(screen->cameraService().guidance().isReady());
        EXPECT_EQ(screen->previewCamera->focusColor(), ColorAsset::named(QStringLiteral("Green")).color())
            << "the corners say the card is well placed";
        EXPECT_EQ(controls->hintStatus->status(), localizedText("capture.hint.ready")) << "read out";
        EXPECT_EQ(controls->lbHint->accessibleName(), accessibleText("a11y.capture_hint"));
        test::saveScreenshot(window.get(), QStringLiteral("guidance_ready_%1").arg(QString::fromStdString(language.code())));

        // Moving, it blurs; a lamp's reflection; the light going down.
        const QImage good = card(frameWindow, 0.94, {80, 0});
        EXPECT_EQ(play(screen, repeated(scenes::blurred(good, 16), 3)), texts({Hint::holdStill}));
        EXPECT_NE(screen->previewCamera->focusColor(), ColorAsset::red().color());
        const QPointF spot = frameWindow.center() + QPointF(80 + frameWindow.width() * 0.2, 0);
        EXPECT_EQ(play(screen, repeated(scenes::withGlare(good, spot, frameWindow.width() * 0.12), 3)),
                  texts({Hint::avoidReflections}));
        EXPECT_EQ(screen->previewCamera->focusColor(), ColorAsset::primary().color()) << "not well placed";
        test::saveScreenshot(window.get(), QStringLiteral("guidance_glare"));
        EXPECT_EQ(play(screen, repeated(scenes::darkened(good, 0.2), 3)), texts({Hint::moreLight}));
        EXPECT_EQ(play(screen, repeated(good, 6)), texts({Hint::holdStill, Hint::ready}));
        window->dismiss(false);
        test::settle();
    }
}

TEST_F(CaptureGuidance, AFaceTooFarTurnedThenCentredKeepsTheShuttersRule) {
    ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::english()));
    // A front camera's frames: a plain wall until the face comes.
    QImage wall(1080, 1920, QImage::Format_RGB32);
    wall.fill(QColor(70, 78, 92));
    scene = {wall};
    auto* screen = openScreen(EKYCStep::face, Type::idCard, {test::cardPhoto(Qt::blue), test::cardPhoto(Qt::red)});
    waitUntilOnline(screen);
    const QRectF circle = windowInFrame(screen);
    const QImage picture = astronaut();
    // Her face is about 97 pixels wide, centred at (227, 130) of the picture;
    // the nose tip at about (228, 143).
    const auto face = [&](double share, const QImage& shown = {}, double offset = 0) {
        const double scale = share * circle.width() / 97;
        return scenes::frontCameraFrame(shown.isNull() ? picture : shown, scale,
                                        circle.center() + QPointF(256 - 227 + offset, 256 - 130) * scale,
                                        {1080, 1920});
    };
    // Turned, the head's middle moves sideways: she keeps it in the circle.
    const QImage turned = scenes::turnedFace(picture, {228, 143}, 45, 97);
    std::vector<QImage> frames = repeated(face(0.33), 3);
    for (const QImage& frame : repeated(face(0.6, turned, -28), 3)) frames.push_back(frame);
    for (const QImage& frame : repeated(face(0.6), 6)) frames.push_back(frame);
    // Turning back in place, she was still all along.
    EXPECT_EQ(play(screen, frames), texts({Hint::moveCloser, Hint::lookStraight, Hint::ready}));
    EXPECT_TRUE(screen->accessoryView->btnCapture->isEnabled()) << "the face lies inside the circle";

    // Too dark: the hint asks for light; the shutter still follows the circle alone.
    EXPECT_EQ(play(screen, repeated(scenes::darkened(face(0.6), 0.2), 3)), texts({Hint::moreLight}));
    EXPECT_TRUE(screen->accessoryView->btnCapture->isEnabled());
}

TEST_F(CaptureGuidance, APhotographTheServiceWouldRefuseIsRefusedOnTheDeviceWithoutAnUpload) {
    auto* screen = openScreen(EKYCStep::front, Type::idCard);
    waitUntilOnline(screen);
    const QRectF frameWindow = windowInFrame(screen);
    const struct {
        QImage frame;
        const char* text;
        const char* refusal;
    } bad[] = {{scenes::darkened(card(frameWindow, 0.94), 0.15), "capture.refusal.too_dark", "tooDark"},
               {scenes::blurred(card(frameWindow, 0.94), 40), "capture.refusal.blurred", "blurred"},
               {scenes::withGlare(card(frameWindow, 0.94), frameWindow.center(), frameWindow.width() * 0.45),
                "capture.refusal.too_bright", "tooBright"}};
    for (const auto& shot : bad) {
        SCOPED_TRACE(shot.refusal);
        cameraOf(screen).setMedia(Media::frames({shot.frame}));
        showFrame(screen);
        test::tap(screen->accessoryView->btnCapture);
        auto* refused = waitForRefusal();
        ASSERT_NE(refused, nullptr);
        EXPECT_EQ(refused->lbError->text(), localizedText(shot.text));
        test::tap(refused->btnRetakePhoto);
        ASSERT_TRUE(test::waitUntil([&] { return navigation->topViewController() == screen && !screen->isLoading(); }));
    }
    EXPECT_TRUE(server->requests().empty()) << "no round trip for a photograph the device refused";

    cameraOf(screen).setMedia(Media::frames({card(frameWindow, 0.94)}));
    showFrame(screen);
    test::tap(screen->accessoryView->btnCapture);
    ASSERT_TRUE(test::waitUntil([&] { return navigation->topViewController() != screen && !screen->isLoading(); }));
    EXPECT_EQ(server->requests().size(), 1u);
    ASSERT_TRUE(test::waitUntil([&] { return recorder->attempts.size() == 4; }));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(recorder->attempts[i].outcome, Outcome::refusedOnDevice);
        EXPECT_EQ(recorder->attempts[i].refusal, bad[i].refusal);
        EXPECT_EQ(recorder->attempts[i].step, OVIRAFlowStep::captureFront);
        EXPECT_FALSE(recorder->attempts[i].autoCaptured);
    }
    const OVIRACaptureAttempt& accepted = recorder->attempts[3];
    EXPECT_EQ(accepted.outcome, Outcome::acceptedByService);
    EXPECT_TRUE(accepted.refusal.empty());
    EXPECT_GT(accepted.sharpness, 50);
    EXPECT_GT(accepted.brightness, 50);
    EXPECT_GT(accepted.width, 1000);
    EXPECT_GT(accepted.secondsToCapture, 0);
    EXPECT_LT(recorder->attempts[0].brightness, 44) << "the measures go with the refusal";
}

TEST_F(CaptureGuidance, TheServicesRefusalIsReportedAsSuch) {
    server->setFault(devserver::Fault::parse("/nationId:code=2004,message=Blurred photo"));
    auto* screen = openScreen(EKYCStep::front, Type::idCard);
    waitUntilOnline(screen);
    showFrame(screen);
    test::tap(screen->accessoryView->btnCapture);
    ASSERT_NE(waitForRefusal(), nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return recorder->attempts.size() == 1; }));
    EXPECT_EQ(recorder->attempts[0].outcome, Outcome::refusedByService);
    EXPECT_EQ(recorder->attempts[0].serviceErrorCode, 2004);
}

// Frames of a steady good card for `seconds`, at about 30 a second.
void holdFor(EKYCBaseDetectionViewControllerBase* screen, double seconds, const std::function<bool()>& until = {}) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000 && !(until && until())) {
        if (screen->cameraService().isRunning()) showFrame(screen);
        QTest::qWait(30);
    }
}

TEST_F(CaptureGuidance, AutoCaptureCountsDownAloudThenTakesThePhotographOnce) {
    OVIRACameraSettings::setAutoCapture(true);
    auto* screen = openScreen(EKYCStep::front, Type::idCard);
    waitUntilOnline(screen);
    const QRectF frameWindow = windowInFrame(screen);
    cameraOf(screen).setMedia(Media::frames({card(frameWindow, 0.94)}));
    auto* controls = screen->accessoryView;
    holdFor(screen, 3, [&] { return screen->autoCapture().isCountingDown(); });
    ASSERT_TRUE(screen->autoCapture().isCountingDown());
    EXPECT_TRUE(controls->btnStopAuto->isVisible());
    EXPECT_TRUE(controls->lbHint->text().startsWith(localizedText("capture.auto.taking")));
    EXPECT_EQ(controls->hintStatus->status(), accessibleText("a11y.auto_countdown", {QStringLiteral("3")}));
    test::saveScreenshot(window.get(), QStringLiteral("guidance_countdown"));
    holdFor(screen, 6, [&] { return navigation->topViewController() != screen; });
    ASSERT_NE(navigation->topViewController(), screen) << "the photograph was taken and accepted";
    EXPECT_EQ(server->requests().size(), 1u) << "once";
    ASSERT_TRUE(test::waitUntil([&] { return recorder->attempts.size() == 1; }));
    EXPECT_TRUE(recorder->attempts[0].autoCaptured);
    EXPECT_EQ(recorder->attempts[0].outcome, Outcome::acceptedByService);
    EXPECT_GT(recorder->attempts[0].secondsToCapture, 3.4) << "settling and the countdown";
}

TEST_F(CaptureGuidance, AutoCaptureWaitsForStillnessCanBeStoppedAndIsOffByDefault) {
    auto* screen = openScreen(EKYCStep::front, Type::idCard);
    waitUntilOnline(screen);
    const QRectF frameWindow = windowInFrame(screen);
    cameraOf(screen).setMedia(Media::frames({card(frameWindow, 0.94)}));
    holdFor(screen, 4.5);
    EXPECT_EQ(navigation->topViewController(), screen) << "off by default: the user presses the button";
    EXPECT_FALSE(screen->accessoryView->btnStopAuto->isVisible());
    EXPECT_TRUE(server->requests().empty());

    OVIRACameraSettings::setAutoCapture(true);
    // A card that keeps moving never counts down.
    std::vector<QImage> moving;
    for (int i = 0; i < 8; ++i) moving.push_back(card(frameWindow, 0.94, {(i % 2) * 50.0, 0}));
    cameraOf(screen).setMedia(Media::frames(moving));
    holdFor(screen, 1.5);
    EXPECT_EQ(screen->autoCapture().state(), EKYCAutoCapture::State::waiting);

    cameraOf(screen).setMedia(Media::frames({card(frameWindow, 0.94)}));
    holdFor(screen, 3, [&] { return screen->autoCapture().isCountingDown(); });
    ASSERT_TRUE(screen->autoCapture().isCountingDown());
    test::tap(screen->accessoryView->btnStopAuto);
    EXPECT_FALSE(screen->accessoryView->btnStopAuto->isVisible());
    EXPECT_EQ(screen->accessoryView->hintStatus->status(), localizedText("capture.auto.stopped"));
    holdFor(screen, 4.5);
    EXPECT_EQ(navigation->topViewController(), screen) << "stopped: nothing fires";
    EXPECT_TRUE(server->requests().empty());
}

}  // namespace
}  // namespace ovira

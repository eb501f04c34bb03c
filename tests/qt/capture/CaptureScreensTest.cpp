// The capture screens in the flow, on real widgets: file cameras play a
// document and a face, the library's detector checks the face, and every
// photograph is judged by the development service over HTTPS.
#include <gtest/gtest.h>
#include <pthread.h>

#include <QTest>
#include <thread>

#include "CaptureScenes.h"
#include "CaptureScreenSupport.h"
#include "DevServerTestSupport.h"
#include "FlowScreenSupport.h"
#include "capture/CaptureScreens.h"
#include "capture/EKYCQtCameraAuthorization.h"
#include "ovira/UserDefaults.h"
#include "platform/NetworkPathMonitor.h"
#include "resources/ColorAsset.h"
#include "resources/Localized.h"
#include "screens/confirm/EKYCConfirmViewController.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "sdk/EKYCApplication.h"
#include "ui/controller/NavigationBar.h"

namespace ovira {
namespace {

using Type = EkycTypeDocument;
using Media = EKYCFileCameraSource::Media;
using Status = EKYCCameraAuthorizationStatus;

using test::cameraOf;
using test::showFrame;

std::string currentThreadName() {
    char name[32] = {};
    pthread_getname_np(pthread_self(), name, sizeof name);
    return name;
}

class CaptureScreens : public test::CaptureFlowTest {
protected:
    void closeFlow() {
        window->dismiss(false);
        test::settle();
    }
    void choose(Type type) {
        const int row = type == Type::idCard ? 0 : type == Type::licenseDriver ? 1 : 2;
        const auto rows = test::rowsOf<EKYCIntroduceTableViewCell>(introduce->tableView);
        ASSERT_EQ(rows.size(), 3);
        test::tap(rows[row]->btnDocument);
    }
    template <class Screen>
    Screen* top() const {
        return qobject_cast<Screen*>(navigation->topViewController());
    }
    template <class Screen>
    Screen* waitForTop() const {
        EXPECT_TRUE(test::waitUntil([&] { return top<Screen>() != nullptr; }))
            << "never reached " << Screen::staticMetaObject.className();
        return top<Screen>();
    }
    // Online, a frame shown, the shutter pressed.
    static void photograph(EKYCBaseDetectionViewControllerBase* screen) {
        waitUntilOnline(screen);
        showFrame(screen);
        test::tap(screen->accessoryView->btnCapture);
    }
    // The alert that comes up over `screen`.
    static QXAlertViewController* waitForAlert(ViewController* screen) {
        EXPECT_TRUE(test::waitUntil([&] { return test::presentedAlert(screen) != nullptr; })) << "no alert";
        return test::alertContent(test::presentedAlert(screen));
    }
    std::vector<std::string> uploads() const {
        std::vector<std::string> paths;
        for (const auto& request : server->requests()) paths.push_back(request["path"].get<std::string>());
        return paths;
    }
};

TEST_F(CaptureScreens, EachDocumentIsPhotographedStepByStepUpToTheConfirmation) {
    const struct {
        Type type;
        std::vector<const char*> titles;
        std::vector<std::string> paths;
    } flows[] = {{Type::idCard,
                  {"capture.front", "capture.back", "capture.face"},
                  {"/v1/ekyc/nationId", "/v1/ekyc/nationId", "/v1/ekyc/captureFace"}},
                 {Type::passport,
                  {"capture.passport", "capture.face"},
                  {"/v1/ekyc/passport", "/v1/ekyc/captureFace"}}};
    for (const auto& flow : flows) {
        SCOPED_TRACE(static_cast<int>(flow.type));
        server->clearRequests();
        scene = {test::documentOnADesk()};
        openFlow();
        choose(flow.type);
        std::mutex uploadMutex;
        std::vector<std::string> uploadThreads;
        const auto threads = [&] {
            std::lock_guard lock(uploadMutex);
            return uploadThreads;
        };
        std::vector<AnyCancellable> watching;
        for (std::size_t step = 0; step < flow.titles.size(); ++step) {
            const bool face = step + 1 == flow.titles.size();
            auto* screen =
                qobject_cast<EKYCBaseDetectionViewControllerBase*>(navigation->topViewController());
            ASSERT_NE(screen, nullptr) << step;
            EXPECT_EQ(screen->cameraType, face ? EKYCCameraType::face : EKYCCameraType::card);
            EXPECT_EQ(screen->accessoryView->lbTitle->text(), localizedText(flow.titles[step]));
            EXPECT_EQ(screen->accessoryView->lbGuide->text(),
                      localizedText(face ? "guide.face" : "guide.document"));
            EXPECT_FALSE(navigation->navigationBar()->isVisible());
            EXPECT_EQ(screen->previewCamera->geometry(), QRect(0, 0, 390, 844));
            EXPECT_EQ(screen->cameraService().delegate(), screen);
            EXPECT_EQ(cameraOf(screen).position(),
                      face ? EKYCCameraPosition::front : EKYCCameraPosition::back);
            // Where the upload ran: the view model says so at its end.
            screen->detectionViewModel()
                .loadingPublisher
                .sink([&](bool) {
                    std::lock_guard lock(uploadMutex);
                    uploadThreads.push_back(currentThreadName());
                })
                .store(watching);
            waitUntilOnline(screen);
            showFrame(screen);
            if (face) {
                EXPECT_TRUE(screen->accessoryView->btnCapture->isEnabled()) << "the face is in the circle";
                EXPECT_EQ(screen->previewCamera->focusColor(), ColorAsset::primary().color());
            }
            if (flow.type == Type::idCard && step == 0) test::saveScreenshot(window.get(), "capture_card");
            if (flow.type == Type::idCard && face) test::saveScreenshot(window.get(), "capture_face");
            // The next screen's camera sees a face.
            if (step + 2 == flow.titles.size()) scene = {test::selfie({360, 640})};

            test::tap(screen->accessoryView->btnCapture);
            EXPECT_TRUE(screen->isLoading() || navigation->topViewController() != screen);
            if (face) break;
            ASSERT_TRUE(test::waitUntil([&] { return navigation->topViewController() != screen; }));
            EXPECT_FALSE(screen->cameraService().isRunning()) << "the screen below keeps no camera";
            EXPECT_EQ(screen->cameraService().delegate(), nullptr);
            EXPECT_TRUE(test::waitUntil([&] { return !screen->isLoading(); })) << "the upload's end follows";
        }
        auto* confirm = waitForTop<EKYCConfirmViewController>();
        ASSERT_NE(confirm, nullptr);
        EXPECT_TRUE(navigation->navigationBar()->isVisible()) << "the confirmation has its bar";
        const auto& images = confirm->viewModel().images;
        ASSERT_EQ(images.size(), flow.titles.size());
        // The camera's pixels under the window, whatever the screen's
        // density: the card window (0.9 of the 390-point width) over a
        // 1440 x 2560 frame, and the circle's square over a 720 x 1280 one.
        for (std::size_t i = 0; i + 1 < images.size(); ++i)
            EXPECT_EQ(QSize(images[i]->width(), images[i]->height()), QSize(1296, 818)) << i;
        EXPECT_EQ(QSize(images.back()->width(), images.back()->height()), QSize(558, 558));
        EXPECT_EQ(uploads(), flow.paths);
        // The last upload ends on its thread after the confirmation was asked for.
        EXPECT_TRUE(test::waitUntil([&] { return threads().size() == flow.titles.size(); }));
        EXPECT_EQ(threads(), std::vector<std::string>(flow.titles.size(), "x.OVIRA.capture"))
            << "photographs are uploaded on the capture thread";
        EXPECT_EQ(navigation->viewControllers().size(), flow.titles.size() + 2);
        if (flow.type == Type::idCard) test::saveScreenshot(window.get(), "capture_confirm");
        closeFlow();
    }
}

TEST_F(CaptureScreens, ARejectionOpensTheRejectedPhotographOfItsStepAndRetakeRestartsTheCamera) {
    const ImagePtr front = test::cardPhoto(QColor(0x1E, 0x6F, 0xD9));
    const ImagePtr back = test::cardPhoto(QColor(0x2E, 0x9E, 0x6B));
    const QImage cat(QString::fromStdString(test::testData("chelsea.png")));
    for (const EKYCStep step : {EKYCStep::face, EKYCStep::back}) {
        SCOPED_TRACE(std::string(rawValue(step)));
        const bool face = step == EKYCStep::face;
        if (face) {  // A cat: the face check reports nothing, the service finds no face.
            scene =
                EKYCFileCameraSource::composedFrames(cat.scaled(cat.size() * 2.4), {720, 1280}, {{360, 640}});
        } else {
            // A card the device lets through, for the service to refuse.
            scene = {test::documentOnADesk()};
            server->setFault(devserver::Fault::parse("/nationId:code=2004,message=Blurred photo"));
        }
        auto* screen = openScreen(step, Type::idCard, face ? EKYCImages{front, back} : EKYCImages{front});
        waitUntilOnline(screen);
        showFrame(screen);
        EXPECT_TRUE(screen->accessoryView->btnCapture->isEnabled());
        test::tap(screen->accessoryView->btnCapture);

        auto* rejected = waitForTop<EKYCPreviewPhotoErrorViewController>();
        ASSERT_NE(rejected, nullptr);
        EXPECT_EQ(rejected->viewModel().step, step);
        EXPECT_EQ(rejected->viewModel().typeDocument, Type::idCard);
        EXPECT_TRUE(navigation->navigationBar()->isVisible());
        const QString reason = rejected->lbError->text();
        EXPECT_EQ(rejected->lbTitle->text(), localizedText(face ? "capture.face" : "review.back"));
        if (face) {
            EXPECT_FALSE(reason.isEmpty()) << "the service's reason";
            EXPECT_EQ(rejected->viewModel().image->width(), 558) << "the cropped photograph";
            test::saveScreenshot(window.get(), "capture_rejected");
        } else {
            EXPECT_EQ(reason, QStringLiteral("Blurred photo"));
        }
        EXPECT_EQ(screen->detectionViewModel().images.size(), face ? 2u : 1u);

        test::tap(rejected->btnRetakePhoto);
        ASSERT_TRUE(test::waitUntil([&] { return navigation->topViewController() == screen; }));
        EXPECT_TRUE(test::waitUntil([&] { return !screen->isLoading(); }));
        EXPECT_TRUE(screen->cameraService().isRunning()) << "the preview is live again";
        EXPECT_EQ(screen->cameraService().delegate(), screen);
        EXPECT_FALSE(navigation->navigationBar()->isVisible());
        closeFlow();
    }
}

TEST_F(CaptureScreens, OfflineTheLostConnectionAlertBringsThePreviewBackAndTheNextCaptureGoesOn) {
    auto script = std::make_unique<ScriptedNetworkPathMonitor>(NetworkPathStatus::unsatisfied);
    auto* monitor = script.get();
    EKYCDetectionServices services;
    services.monitor = std::move(script);
    auto* screen = openScreen(EKYCStep::front, Type::idCard, {}, std::move(services));
    showFrame(screen);
    test::tap(screen->accessoryView->btnCapture);
    auto* content = waitForAlert(screen);
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->labelTitle->text(), localizedText("common.noti"));
    EXPECT_EQ(content->labelMessage->text(), localizedText("common.noti_disconect"));
    EXPECT_EQ(content->buttonAction->text(), localizedText("common.close"));
    EXPECT_TRUE(screen->isLoading());
    EXPECT_FALSE(screen->cameraService().isRunning()) << "the photograph stopped the preview";
    EXPECT_TRUE(uploads().empty());

    test::tap(content->buttonAction);
    EXPECT_TRUE(test::waitUntil([&] { return test::presentedAlert(screen) == nullptr; }));
    EXPECT_FALSE(screen->isLoading());
    EXPECT_TRUE(screen->cameraService().isRunning());

    monitor->send(NetworkPathStatus::satisfied);
    photograph(screen);
    EXPECT_NE(waitForTop<EKYCBackDetectionViewController>(), nullptr);
    EXPECT_EQ(uploads(), std::vector<std::string>{"/v1/ekyc/nationId"});
}

TEST_F(CaptureScreens, CameraAccessIsAskedForAndADenialOffersTheSettingsOrTheWayOut) {
    EKYCCameraAuthorization::setShared(nullptr);
    installCaptureScreens();
    EXPECT_NE(dynamic_cast<EKYCQtCameraAuthorization*>(EKYCCameraAuthorization::shared().get()), nullptr)
        << "the platform's answer unless the host has its own";

    // Asked for: the camera runs if the user agrees, and nothing else happens if not.
    for (const bool grants : {true, false}) {
        authorization = std::make_shared<ScriptedCameraAuthorization>(Status::notDetermined, grants);
        EKYCCameraAuthorization::setShared(authorization);
        openFlow();
        choose(Type::idCard);
        auto* front = top<EKYCFrontDetectionViewController>();
        ASSERT_NE(front, nullptr);
        EXPECT_EQ(authorization->requests, 1);
        EXPECT_EQ(front->cameraService().isRunning(), grants);
        EXPECT_EQ(test::presentedAlert(front), nullptr);
        closeFlow();
    }

    authorization = std::make_shared<ScriptedCameraAuthorization>(Status::denied);
    EKYCCameraAuthorization::setShared(authorization);
    openFlow();
    for (const char* answer : {"common.setting", "common.out"}) {
        SCOPED_TRACE(answer);
        choose(Type::licenseDriver);
        // "Out" closes the screen: watched through a guard, not a bare pointer.
        QPointer<EKYCFrontDetectionViewController> front = top<EKYCFrontDetectionViewController>();
        ASSERT_NE(front, nullptr);
        auto* dialog = test::presentedAlert(front);
        ASSERT_NE(dialog, nullptr);
        auto* content = qobject_cast<QXDialogViewController*>(dialog);
        EXPECT_EQ(content->labelTitle->text(), localizedText("common.permission_title"));
        EXPECT_EQ(content->labelMessage->text(), localizedText("common.permission"));
        EXPECT_FALSE(front->cameraService().isRunning());
        EXPECT_EQ(front->cameraService().delegate(), nullptr);
        test::tap(test::dialogButton(dialog, localizedText(answer)));
        EXPECT_TRUE(test::waitUntil([&] { return !front || test::presentedAlert(front) == nullptr; }));
        if (std::string(answer) == "common.setting") {
            EXPECT_EQ(navigation->topViewController(), front);
            // No camera, nothing to photograph: no overlay that nothing would take down.
            test::tap(front->accessoryView->btnCapture);
            EXPECT_FALSE(front->isLoading());
            navigation->popViewController(false);
            test::settle();
        } else {
            EXPECT_TRUE(test::waitUntil([&] { return navigation->topViewController() == introduce; }));
        }
        EXPECT_EQ(authorization->settingsOpened, 1);
    }
}

TEST_F(CaptureScreens, GuidesFollowTheScreenTheTorchServesDocumentsAndTheShutterFollowsTheFace) {
    auto* back = openScreen(EKYCStep::back, Type::idCard, {test::cardPhoto(Qt::blue)});
    test::tap(back->accessoryView->btnGuide);
    auto* documentGuide = qobject_cast<EKYCGuideCaptureDocumentViewController*>(test::topPresented(back));
    ASSERT_NE(documentGuide, nullptr);
    documentGuide->dismiss(false);
    test::settle();
    test::tap(back->accessoryView->btnFlash);
    EXPECT_TRUE(cameraOf(back).isTorchOn());
    EXPECT_FLOAT_EQ(cameraOf(back).torchLevel(), 0.1f);
    test::tap(back->accessoryView->btnFlash);
    EXPECT_FALSE(cameraOf(back).isTorchOn());
    closeFlow();

    // Out of the circle, then inside it.
    scene = {test::selfie({360, 250}), test::selfie({360, 640})};
    auto* face = openScreen(EKYCStep::face, Type::passport, {test::cardPhoto(Qt::red)});
    EXPECT_TRUE(face->accessoryView->btnFlash->isHidden());
    face->accessoryView->onFlash();
    face->didToggleFlash(true);
    EXPECT_FALSE(cameraOf(face).isTorchOn()) << "the face screen leaves the torch alone";
    test::tap(face->accessoryView->btnGuide);
    auto* faceGuide = qobject_cast<EKYCGuideFaceViewController*>(test::topPresented(face));
    ASSERT_NE(faceGuide, nullptr);
    faceGuide->dismiss(false);
    test::settle();

    showFrame(face);
    EXPECT_FALSE(face->accessoryView->btnCapture->isEnabled());
    EXPECT_EQ(face->previewCamera->focusColor(), ColorAsset::red().color());
    test::tap(face->accessoryView->btnCapture);
    EXPECT_FALSE(face->isLoading()) << "no photograph while the face is outside";
    showFrame(face);
    EXPECT_TRUE(face->accessoryView->btnCapture->isEnabled());
    EXPECT_EQ(face->previewCamera->focusColor(), ColorAsset::primary().color());

    // The close button asks first; leaving returns to the document choice.
    test::tap(face->accessoryView->btnClose);
    auto* leave = test::dialogButton(test::presentedAlert(face), localizedText("common.out"));
    ASSERT_NE(leave, nullptr);
    test::tap(leave);
    EXPECT_TRUE(test::waitUntil([&] { return navigation->topViewController() == introduce; }));
    EXPECT_TRUE(navigation->navigationBar()->isVisible());
}

TEST_F(CaptureScreens, AStillWithoutAnImageTakesTheOverlayDownAndBringsThePreviewBack) {
    auto* screen = openScreen(EKYCStep::front, Type::idCard);
    showFrame(screen);
    QTest::mouseClick(screen->accessoryView->btnCapture, Qt::LeftButton);
    EXPECT_TRUE(screen->isLoading());
    // The camera stops before the still is taken: the still is empty.
    cameraOf(screen).stop();
    EXPECT_TRUE(test::waitUntil([&] { return !screen->isLoading(); }));
    EXPECT_TRUE(screen->cameraService().isRunning());
    EXPECT_EQ(navigation->topViewController(), screen);
    EXPECT_TRUE(uploads().empty());
}

TEST_F(CaptureScreens, EventsForAScreenThatIsGoneDoNothing) {
    // Published on another thread while the screen lives, arriving after it went.
    auto* screen = openScreen(EKYCStep::front, Type::idCard);
    auto model = std::static_pointer_cast<EKYCFrontDetectionViewModel>(
        screen->detectionViewModel().shared_from_this());
    std::thread([&] {
        model->connectionPublisher.send({});
        model->errorPublisher.send({test::cardPhoto(Qt::gray), std::string("late")});
        model->nextStep.send({EKYCStep::back, {test::cardPhoto(Qt::gray)}});
    }).join();
    delete screen;
    test::settle();
    EXPECT_EQ(navigation->viewControllers(), QList<ViewController*>{introduce});
    EXPECT_EQ(test::presentedAlert(introduce), nullptr);

    // A screen closed while its photograph is being uploaded goes at once:
    // the upload, which holds its photograph on disk until the answer, is
    // still waiting for the service. What it publishes afterwards reaches nobody.
    server->setFault(devserver::Fault::parse("/nationId:delay=4000"));
    screen = openScreen(EKYCStep::front, Type::idCard);
    photograph(screen);
    ASSERT_TRUE(test::waitUntil([&] { return !server->requests().empty(); }));
    const auto captures = applicationDataDirectory() / "KYC";
    const auto uploading = [&] { return std::filesystem::exists(captures) && !std::filesystem::is_empty(captures); };
    ASSERT_TRUE(uploading());
    delete screen;
    EXPECT_TRUE(uploading()) << "closing the screen waited for the upload";
    EXPECT_TRUE(test::waitUntil([&] { return !uploading(); }, 10000));
    test::settle();
    EXPECT_EQ(navigation->viewControllers(), QList<ViewController*>{introduce});
    EXPECT_EQ(test::presentedAlert(introduce), nullptr);
}

}  // namespace
}  // namespace ovira

namespace ovira {
namespace {

// The card window and the face circle on phones, desktops, tablets and a
// square kiosk screen, each with a camera of its kind: always between the
// title and guide above and the shutter below, exactly as before on the
// phone, and the largest that fits elsewhere. Screenshots of every one.
TEST_F(CaptureScreens, TheWindowFitsBetweenTheControlsOnEveryWindowAndCamera) {
    const struct {
        QSize window;
        QSize camera;
    } cases[] = {{{390, 844}, {1440, 2560}},
                 {{1280, 800}, {1920, 1080}},
                 {{1920, 1080}, {1920, 1080}},
                 {{800, 1280}, {1080, 1920}},
                 {{800, 800}, {1280, 720}}};
    for (const auto& c : cases) {
        for (const EKYCStep step : {EKYCStep::front, EKYCStep::face}) {
            const bool card = step == EKYCStep::front;
            const QString name = QStringLiteral("capture_%1_%2x%3")
                                     .arg(card ? QStringLiteral("card") : QStringLiteral("face"))
                                     .arg(c.window.width())
                                     .arg(c.window.height());
            SCOPED_TRACE(name.toStdString());
            window = test::makeHostWindow(c.window);
            QImage wall(c.camera, QImage::Format_RGB32);
            wall.fill(QColor(90, 80, 70));
            scene = {wall};
            auto* screen = openScreen(step, Type::idCard);
            waitUntilOnline(screen);
            showFrame(screen);

            // The camera view covers the screen: its coordinates are the screen's.
            const auto* controls = screen->accessoryView;
            ASSERT_EQ(screen->previewCamera->geometry(), QRect(QPoint(0, 0), c.window));
            const QRectF shown = screen->previewCamera->windowRect();
            const double guideBottom = controls->vGuide->mapTo(screen, QPoint(0, controls->vGuide->height())).y();
            // The hint's row stands over the shutter.
            const double shutterTop = controls->vHint->mapTo(screen, QPoint(0, 0)).y();
            EXPECT_LE(shutterTop, controls->btnCapture->mapTo(screen, QPoint(0, 0)).y());
            EXPECT_GE(shown.top(), guideBottom + capture::controlsGap - 1e-9) << "clear of the title and guide";
            EXPECT_LE(shown.bottom(), shutterTop - capture::controlsGap + 1e-9) << "clear of the hint and shutter";
            EXPECT_NEAR(shown.center().x(), c.window.width() / 2.0, 1e-9);
            EXPECT_NEAR(controls->btnCapture->geometry().center().x(), c.window.width() / 2.0, 1.0)
                << "the shutter in the middle, with or without the flash button beside it";
            const QRectF picture = screen->cameraService().previewLayer()->videoRect();
            EXPECT_TRUE(picture.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(shown)) << "on the camera's picture";
            if (c.window == QSize(390, 844)) {
                const QRectF phone = card ? QRectF(19.5, 311.33, 351, 221.34) : QRectF(44, 271, 302, 302);
                EXPECT_NEAR(shown.x(), phone.x(), 0.005);
                EXPECT_NEAR(shown.y(), phone.y(), 0.005);
                EXPECT_NEAR(shown.width(), phone.width(), 0.005);
                EXPECT_NEAR(shown.height(), phone.height(), 0.005);
            } else {
                // The largest: held by the picture's sides, or by the controls above and below.
                const double side = card ? picture.width() * capture::cardWidthRatio
                                         : picture.width() - capture::faceCircleInset;
                const double free = std::min(shutterTop - capture::controlsGap, picture.bottom()) -
                                    std::max(guideBottom + capture::controlsGap, picture.top());
                EXPECT_TRUE(std::abs(shown.width() - side) < 1e-6 || std::abs(shown.height() - free) < 1e-6)
                    << shown.width() << " x " << shown.height() << " with " << free << " free";
            }
            test::saveScreenshot(window.get(), name);
            closeFlow();
        }
    }
}

// On a 1280 x 800 desktop window with a 1920 x 1080 webcam, a card held to
// fill the window is uploaded at the camera's resolution, which the service
// can read: at least 1011 pixels wide, the card filling most of it.
TEST_F(CaptureScreens, ADesktopWebcamGivesTheServiceACardItCanRead) {
    window = test::makeHostWindow({1280, 800});
    QImage wall(1920, 1080, QImage::Format_RGB32);
    wall.fill(QColor(90, 80, 70));
    scene = {wall};
    server->clearRequests();
    auto* screen = openScreen(EKYCStep::front, Type::idCard);
    waitUntilOnline(screen);
    showFrame(screen);
    const QRectF shown = screen->previewCamera->windowRect();
    const capture::Rect inFrame = capture::viewToFrame({shown.x(), shown.y(), shown.width(), shown.height()},
                                                       screen->cameraService().previewLayer()->mapping());
    const QRectF held = QRectF(inFrame.x, inFrame.y, inFrame.width, inFrame.height)
                            .marginsRemoved(QMarginsF(inFrame.width, inFrame.height, inFrame.width,
                                                      inFrame.height) * 0.03);
    cameraOf(screen).setMedia(Media::frames({scenes::documentOnADesk(
        QImage(QString::fromStdString(test::testData("astronaut.png"))), {1920, 1080}, held)}));
    photograph(screen);
    ASSERT_NE(waitForTop<EKYCBackDetectionViewController>(), nullptr) << "the front side was accepted";
    const auto requests = server->requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& verdict = requests[0]["verdict"];
    EXPECT_GE(verdict["width"].get<int>(), capture::cardReadableWidth);
    EXPECT_NEAR(verdict["width"].get<double>(), inFrame.width, 1.0) << "the camera's own pixels, not enlarged";
    EXPECT_GE(verdict["cardWidthShare"].get<double>(), 0.9);
}

}  // namespace
}  // namespace ovira

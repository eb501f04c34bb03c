#pragma once

// Driving a capture screen whose camera is a file camera.
#include "CaptureScenes.h"
#include "FlowScreenSupport.h"
#include "LibraryServiceTest.h"
#include "capture/CaptureScreens.h"
#include "ovira/OVIRALocalization.h"
#include "capture/EKYCBackDetectionViewController.h"
#include "capture/EKYCBaseDetectionViewControllerBase.h"
#include "capture/EKYCFaceDetectionViewController.h"
#include "capture/EKYCFileCameraSource.h"
#include "capture/EKYCFrontDetectionViewController.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "support/QtTestSupport.h"

namespace ovira::test {

template <class VM, class Screen>
Screen* withViewModel(Screen* screen, EkycTypeDocument type, EKYCImages accepted,
                      EKYCDetectionServices services) {
    screen->setViewModel(makeViewModel<VM>(type, std::move(accepted), std::move(services)));
    return screen;
}

// The capture screen of `step` with its own view model, over the photographs
// accepted before it; not shown yet.
inline EKYCBaseDetectionViewControllerBase* makeCaptureScreen(EKYCStep step, EkycTypeDocument type,
                                                              EKYCImages accepted = {},
                                                              EKYCDetectionServices services = {}) {
    switch (step) {
        case EKYCStep::front:
            return withViewModel<EKYCFrontDetectionViewModel>(new EKYCFrontDetectionViewController, type,
                                                              std::move(accepted), std::move(services));
        case EKYCStep::back:
            return withViewModel<EKYCBackDetectionViewModel>(new EKYCBackDetectionViewController, type,
                                                             std::move(accepted), std::move(services));
        case EKYCStep::face:
            break;
    }
    return withViewModel<EKYCFaceDetectionViewModel>(new EKYCFaceDetectionViewController, type,
                                                     std::move(accepted), std::move(services));
}

// The screen's camera, as a test's camera factory made it.
inline EKYCFileCameraSource& cameraOf(EKYCBaseDetectionViewControllerBase* screen) {
    return dynamic_cast<EKYCFileCameraSource&>(screen->cameraService().source());
}

// One frame through the screen's camera: shown, and its faces checked.
inline void showFrame(EKYCBaseDetectionViewControllerBase* screen) {
    cameraOf(screen).deliverNextFrame();
    screen->cameraService().waitUntilDetectionIdle();
    settle();
}

// The flow's capture screens against the development service: the camera is
// authorised, and every camera a screen opens plays `scene`, a frame at a
// time as the test says (a document on a desk unless the test sets another).
// Each test starts and ends in Vietnamese with the library's own texts.
class CaptureFlowTest : public devserver::test::LibraryServiceTest {
protected:
    void SetUp() override {
        LibraryServiceTest::SetUp();
        OVIRALocalization::resetStrings();
        ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::vietnamese()));
        EKYCCameraAuthorization::setShared(authorization);
        installCaptureScreens();
        EKYCCameraSource::setFactory([this] {
            auto camera = std::make_unique<EKYCFileCameraSource>(EKYCFileCameraSource::Media::frames(scene));
            camera->setFrameInterval(std::chrono::milliseconds(0));
            camera->setTorch(EKYCFileCameraSource::Torch::available);
            return camera;
        });
    }
    void TearDown() override {
        window.reset();
        settle();
        EKYCCameraSource::setFactory({});
        EKYCCameraAuthorization::setShared(nullptr);
        EKYCIntroduceViewController::setCaptureOpener({});
        ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::vietnamese()));
    }

    // The flow's first screen, the document choice, over the window; a tap on
    // a document opens its capture.
    EKYCBaseNavigationViewController* openFlow() {
        introduce = new EKYCIntroduceViewController;
        introduce->setViewModel(makeViewModel<EKYCIntroduceViewModel>());
        return navigation = presentFlow(*window, introduce);
    }
    // A capture screen pushed over the first one.
    EKYCBaseDetectionViewControllerBase* openScreen(EKYCStep step, EkycTypeDocument type,
                                                    EKYCImages accepted = {},
                                                    EKYCDetectionServices services = {}) {
        auto* screen = makeCaptureScreen(step, type, std::move(accepted), std::move(services));
        openFlow()->pushViewController(screen, false);
        settle();
        return screen;
    }
    // The monitor's first report comes on its own queue.
    static void waitUntilOnline(EKYCBaseDetectionViewControllerBase* screen) {
        EXPECT_TRUE(waitUntil([&] { return screen->detectionViewModel().isConnected(); }));
        EXPECT_TRUE(screen->cameraService().isRunning());
    }

    std::shared_ptr<ScriptedCameraAuthorization> authorization =
        std::make_shared<ScriptedCameraAuthorization>(EKYCCameraAuthorizationStatus::authorized);
    std::vector<QImage> scene{documentOnADesk()};
    std::unique_ptr<ViewController> window = makeHostWindow();
    EKYCIntroduceViewController* introduce = nullptr;
    EKYCBaseNavigationViewController* navigation = nullptr;
};

}  // namespace ovira::test

#pragma once

// Driving a capture screen whose camera is a file camera.
#include "capture/EKYCBackDetectionViewController.h"
#include "capture/EKYCBaseDetectionViewControllerBase.h"
#include "capture/EKYCFaceDetectionViewController.h"
#include "capture/EKYCFileCameraSource.h"
#include "capture/EKYCFrontDetectionViewController.h"
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

}  // namespace ovira::test

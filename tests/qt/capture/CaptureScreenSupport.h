#pragma once

// Driving a capture screen whose camera is a file camera.
#include "capture/EKYCBaseDetectionViewControllerBase.h"
#include "capture/EKYCFileCameraSource.h"
#include "support/QtTestSupport.h"

namespace ovira::test {

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

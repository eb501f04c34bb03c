#pragma once

// Scenes for the file camera: what a rear camera sees of a document and a
// front camera of a face.
#include <QImage>

#include "CameraScenes.h"
#include "QtTestSupport.h"

namespace ovira::test {

// An identity card with the astronaut on it, lying on a desk, seen from
// above by the rear camera.
inline QImage documentOnADesk() {
    return scenes::documentOnADesk(QImage(QString::fromStdString(testData("astronaut.png"))));
}

// The astronaut seen by a front camera, her face centred at `faceAt` of a
// 720 x 1280 frame.
inline QImage selfie(QPointF faceAt) {
    return scenes::frontCameraFrame(QImage(QString::fromStdString(testData("astronaut.png"))), 3,
                                    faceAt + QPointF(88, 378));
}

}  // namespace ovira::test

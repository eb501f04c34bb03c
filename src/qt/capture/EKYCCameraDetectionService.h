#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <memory>

#include "capture/EKYCCameraDetectionServiceDelegate.h"
#include "capture/EKYCCameraPreviewLayer.h"
#include "capture/EKYCCameraSource.h"
#include "capture/EKYCCaptureGeometry.h"
#include "capture/EKYCFaceDetectionPipeline.h"
#include "capture/EKYCFaceDetector.h"
#include "platform/RasterImage.h"
#include "platform/SerialQueue.h"

class QWidget;

namespace ovira {

// Runs the camera for one capture screen: picks the rear camera for
// documents and the front one for the face, starts and switches it, drives
// the torch, takes the photograph and crops it to the window the overlay
// shows. On face screens it also examines the live frames and tells the
// screen whether the face lies inside the circle.
//
// Threads: control from the GUI thread. Frames are examined one at a time
// on the queue "ai.qorix.OVIRA.detection" (only the newest waits); stills
// are cropped on the capture thread "ai.qorix.OVIRA.capture". The delegate
// hears on the threads its interface states.
class EKYCCameraDetectionService : public QObject {
    Q_OBJECT
public:
    // The torch's brightness when on, where the camera has levels.
    static constexpr float torchLevel = 0.1f;
    // The camera switch's flip, in seconds.
    static constexpr double flipDuration = 0.3;

    // Without a source, EKYCCameraSource::make(); without a detector, the
    // library's own (loaded on the detection thread when first needed).
    explicit EKYCCameraDetectionService(std::unique_ptr<EKYCCameraSource> source = nullptr,
                                        std::shared_ptr<EKYCFaceDetector> detector = nullptr,
                                        QObject* parent = nullptr);
    ~EKYCCameraDetectionService() override;

    EKYCCameraSource& source() const { return *source_; }
    // The live picture; the camera view sizes and paints it.
    EKYCCameraPreviewLayer* previewLayer() const { return previewLayer_; }

    // Held weakly when it is a QObject; in any case clear it before it goes.
    EKYCCameraDetectionServiceDelegate* delegate() const;
    void setDelegate(EKYCCameraDetectionServiceDelegate* delegate);

    // The rear camera when the delegate is on a document screen, the front
    // one otherwise; nothing (a black preview) when there is no such camera.
    void startCamera();
    // To the other camera, with a flip of `view`; stays on the current one
    // when there is no other.
    void switchCamera(QWidget* view);
    void setTorch(bool isOn);
    // The session stops when the still arrives; the delegate then gets the
    // photograph, or didFailCapture().
    void capturePhoto();

    // The session as the screen drives it: stopped on leaving, restarted
    // after a lost connection or a failed photograph.
    void startRunning();
    void stopRunning();
    bool isRunning() const;

    // What cropping needs to know of the screen, taken on the GUI thread
    // when the photograph is asked for.
    struct CropSettings {
        bool cardMode = true;
        capture::PreviewMapping preview;  // how the frames were shown
        capture::Rect window;             // the card window or the face circle's square, points
    };
    // The still's part under the window, in the camera's own pixels: never
    // enlarged, reduced only above the cap (card: 2048 pixels on the long
    // side; face: 1024), whatever the screen's size and pixel ratio; turned
    // upright by `quarterTurns` clockwise quarter turns when the still
    // arrived in the sensor's orientation. As RGB; null when nothing is left
    // to crop. Logs when the camera gives fewer pixels than a good photograph
    // needs. Any thread.
    static ImagePtr cropImage(const QImage& still, int quarterTurns, const CropSettings& settings);

    // A live frame as the face detector takes it: RGB, halved (so that faces
    // map back to the frame's pixels exactly) until at most
    // faceFrameLongSide pixels on its long side (the detector looks at far
    // fewer), converted only once small. Any thread.
    static constexpr int faceFrameLongSide = 640;
    static EKYCFaceDetectionPipeline::FaceFrame faceFrameOf(const QImage& frame);

    // A face found at `face` in a frame of `frame` pixels: mapped onto the
    // preview as shown (letter-boxed, mirrored for the front camera), tested
    // against the circle and reported. GUI thread.
    void checkFace(const capture::Rect& face, capture::Size frame);

    // Block until nothing waits or runs on the detection or capture queue.
    void waitUntilDetectionIdle();
    void waitUntilCaptureIdle();

private:
    struct DelegateCell;
    struct FrameState;

    bool isCardMode() const;
    void updateExamination();
    void handleStill(const QImage& still, int quarterTurns);

    std::unique_ptr<EKYCCameraSource> source_;
    QPointer<EKYCCameraPreviewLayer> previewLayer_;
    std::shared_ptr<DelegateCell> delegate_;
    std::shared_ptr<FrameState> frames_;
    CropSettings pendingCrop_;
    // Shared with the work queued on it, so that a photograph's upload may
    // outlive the service (and its screen) without holding the GUI thread.
    std::shared_ptr<SerialQueue> captureQueue_ = std::make_shared<SerialQueue>("ai.qorix.OVIRA.capture");
};

}  // namespace ovira

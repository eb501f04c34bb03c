#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <memory>

#include "capture/EKYCCameraDetectionServiceDelegate.h"
#include "capture/EKYCCameraPreviewLayer.h"
#include "capture/EKYCCameraSource.h"
#include "capture/EKYCCaptureGeometry.h"
#include "capture/EKYCDetectionPipeline.h"
#include "capture/EKYCDocumentExaminer.h"
#include "capture/EKYCDocumentGuidance.h"
#include "capture/EKYCFaceDetector.h"
#include "capture/EKYCFaceGuidance.h"
#include "platform/RasterImage.h"
#include "platform/SerialQueue.h"

class QWidget;

namespace ovira {

// Runs the camera for one capture screen: picks the rear camera for
// documents and the front one for the face, starts and switches it, drives
// the torch, takes the photograph and crops it to the window the overlay
// shows. It examines the live frames: on face screens it tells the screen
// whether the face lies inside the circle, and on every screen what the
// user should do (EKYCGuidance) to get a good photograph.
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
    // library's own (loaded on the detection thread when first needed);
    // without an examiner, the library's card examiner.
    explicit EKYCCameraDetectionService(std::unique_ptr<EKYCCameraSource> source = nullptr,
                                        std::shared_ptr<EKYCFaceDetector> detector = nullptr,
                                        std::shared_ptr<EKYCDocumentExaminer> examiner = nullptr,
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

    // A live frame as it is examined: RGB, halved (so that what is found
    // maps back to the frame's pixels exactly) until at most
    // detectionFrameLongSide pixels on its long side, converted only once
    // small. Any thread.
    static constexpr int detectionFrameLongSide = 640;
    static EKYCDetectionPipeline::Frame detectionFrameOf(const QImage& frame);

    // A face found at `face` in a frame of `frame` pixels: mapped onto the
    // preview as shown (letter-boxed, mirrored for the front camera), tested
    // against the circle and reported. GUI thread.
    void checkFace(const capture::Rect& face, capture::Size frame);
    // The faces of one examined frame: each checked against the circle (the
    // last decides), then the guidance. GUI thread.
    void reportFaces(const std::vector<EKYCDetectedFace>& faces, capture::Size frame);
    // The card measured in `window` of one examined frame. GUI thread.
    void reportDocument(const EKYCDocumentMeasures& measures, const capture::Rect& window);
    // The guidance of the frames examined since the camera started; the
    // first report comes with the first examined frame.
    const EKYCGuidance& guidance() const { return guidance_; }

    // Block until nothing waits or runs on the detection or capture queue.
    void waitUntilDetectionIdle();
    void waitUntilCaptureIdle();

private:
    struct DelegateCell;
    struct FrameState;

    bool isCardMode() const;
    void updateExamination();
    // Keeps the card window, as shares of the preview's frames, for the
    // frame thread; empty before the preview shows a frame. GUI thread.
    void updateDocumentWindow();
    void publish(const EKYCGuidance& guidance);
    // How the preview shows a frame of `frame` pixels, and the window's
    // layout over it (the newest frame on screen may be of another size).
    struct Shown {
        capture::PreviewMapping preview;
        capture::WindowLayout layout;
    };
    Shown shownAs(capture::Size frame) const;
    void handleStill(const QImage& still, int quarterTurns);

    std::unique_ptr<EKYCCameraSource> source_;
    QPointer<EKYCCameraPreviewLayer> previewLayer_;
    std::shared_ptr<DelegateCell> delegate_;
    std::shared_ptr<FrameState> frames_;
    CropSettings pendingCrop_;
    EKYCFaceGuidance faceGuidance_;
    EKYCDocumentGuidance documentGuidance_;
    EKYCGuidance guidance_;
    // Shared with the work queued on it, so that a photograph's upload may
    // outlive the service (and its screen) without holding the GUI thread.
    std::shared_ptr<SerialQueue> captureQueue_ = std::make_shared<SerialQueue>("ai.qorix.OVIRA.capture");
};

}  // namespace ovira

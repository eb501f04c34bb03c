#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "QtTestSupport.h"
#include "capture/EKYCAccessoryCameraView.h"
#include "capture/EKYCCameraDetectionService.h"
#include "capture/EKYCCameraView.h"
#include "capture/EKYCFileCameraSource.h"

namespace ovira::test {

inline QImage solidFrame(QSize size, QColor color) {
    QImage frame(size, QImage::Format_RGB32);
    frame.fill(color);
    return frame;
}

// Records what the camera service tells its screen, and on which thread photographs arrive.
class RecordingCameraDelegate : public QObject, public EKYCCameraDetectionServiceDelegate {
public:
    explicit RecordingCameraDelegate(bool cardMode) : cardMode_(cardMode) {}

    void didCaptureImage(ImagePtr image) override {
        std::lock_guard lock(mutex_);
        photographs_.emplace_back(std::move(image), std::this_thread::get_id());
    }
    bool isCardMode() override { return cardMode_; }
    void didValidateFace(bool isValid) override { faces.push_back(isValid); }
    void didFailCapture() override { ++failures; }

    std::vector<std::pair<ImagePtr, std::thread::id>> photographs() const {
        std::lock_guard lock(mutex_);
        return photographs_;
    }

    std::vector<bool> faces;
    int failures = 0;

private:
    bool cardMode_;
    mutable std::mutex mutex_;
    std::vector<std::pair<ImagePtr, std::thread::id>> photographs_;
};

// Records what the capture controls tell their screen; gives the screen's title.
class RecordingControlsDelegate : public QObject, public EKYCAccessoryCameraViewViewDelegate {
public:
    RecordingControlsDelegate(bool cardMode, std::optional<QString> title)
        : cardMode_(cardMode), title_(std::move(title)) {}
    void didSelectGuide() override { calls << QStringLiteral("guide"); }
    void didSelectClose() override { calls << QStringLiteral("close"); }
    void didToggleFlash(bool isOn) override { calls << QStringLiteral("flash %1").arg(isOn ? 1 : 0); }
    void didSelectCapture() override { calls << QStringLiteral("capture"); }
    void didSelectSwitchCamera() override { calls << QStringLiteral("switch"); }
    std::optional<QString> captureTitle() override { return title_; }
    bool isCardMode() override { return cardMode_; }
    QStringList calls;

private:
    bool cardMode_;
    std::optional<QString> title_;
};

// A camera view over a file camera that sends frames only when told to.
struct FileCameraRig : WithApplication {
    FileCameraRig(EKYCCameraType type, EKYCFileCameraSource::Media media,
                  std::vector<EKYCCameraPosition> positions = {EKYCCameraPosition::back,
                                                               EKYCCameraPosition::front},
                  std::shared_ptr<EKYCFaceDetector> detector = nullptr, QSize size = {390, 844})
        : delegate(type == EKYCCameraType::card) {
        auto source = std::make_unique<EKYCFileCameraSource>(std::move(media), std::move(positions));
        source->setFrameInterval(std::chrono::milliseconds(0));
        camera = source.get();
        view = std::make_unique<EKYCCameraView>(
            type, std::make_unique<EKYCCameraDetectionService>(std::move(source), std::move(detector)));
        view->resize(size);
        // A view never shown has had no layout pass: no preview size yet.
        if (!size.isEmpty()) view->show();
        service().setDelegate(&delegate);
    }
    ~FileCameraRig() { service().setDelegate(nullptr); }

    EKYCCameraDetectionService& service() { return *view->cameraService(); }
    // One frame through the camera, its preview shown and its faces reported.
    void showNextFrame() {
        camera->deliverNextFrame();
        service().waitUntilDetectionIdle();
        drainEvents();
    }

    RecordingCameraDelegate delegate;
    EKYCFileCameraSource* camera = nullptr;
    std::unique_ptr<EKYCCameraView> view;
};

}  // namespace ovira::test

#include "capture/EKYCDeviceCameraSource.h"

#include <QCamera>
#include <QImageCapture>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>

namespace ovira {
namespace {

QCameraDevice::Position facing(EKYCCameraPosition position) {
    return position == EKYCCameraPosition::front ? QCameraDevice::FrontFace : QCameraDevice::BackFace;
}

// Continuous focus and exposure, focused on the centre, where the camera
// offers them; defaults otherwise.
void configure(QCamera& camera) {
    if (camera.isExposureModeSupported(QCamera::ExposureAuto)) camera.setExposureMode(QCamera::ExposureAuto);
    if (camera.isFocusModeSupported(QCamera::FocusModeAuto)) camera.setFocusMode(QCamera::FocusModeAuto);
    if (camera.supportedFeatures().testFlag(QCamera::Feature::CustomFocusPoint))
        camera.setCustomFocusPoint(QPointF(0.5, 0.5));
}

}  // namespace

struct EKYCDeviceCameraSource::Session {
    QMediaCaptureSession capture;
    QVideoSink sink;
    QImageCapture imageCapture;
};

EKYCDeviceCameraSource::EKYCDeviceCameraSource(QObject* parent) : EKYCCameraSource(parent) {}

EKYCDeviceCameraSource::~EKYCDeviceCameraSource() {
    setFrameHandler({});
    if (camera_) camera_->stop();
    if (session_) session_->capture.setCamera(nullptr);
}

EKYCDeviceCameraSource::Session& EKYCDeviceCameraSource::session() {
    if (session_) return *session_;
    session_ = std::make_unique<Session>();
    auto& s = *session_;
    s.capture.setVideoSink(&s.sink);
    s.capture.setImageCapture(&s.imageCapture);
    // The sink may signal from the backend's thread: convert there, and let
    // the frame handler decide what crosses to the GUI.
    connect(
        &s.sink, &QVideoSink::videoFrameChanged, this,
        [this](const QVideoFrame& frame) {
            if (frame.isValid()) deliverFrame(frame.toImage());
        },
        Qt::DirectConnection);
    connect(&s.imageCapture, &QImageCapture::imageCaptured, this, [this](int id, const QImage& image) {
        if (id != pendingStill_) return;
        pendingStill_ = -1;
        deliverStill(image);
    });
    connect(&s.imageCapture, &QImageCapture::errorOccurred, this,
            [this](int id, QImageCapture::Error, const QString&) {
                // A capture refused at once (id -1) is answered by captureStill().
                if (id < 0 || id != pendingStill_) return;
                pendingStill_ = -1;
                deliverStill(QImage());
            });
    return s;
}

QCameraDevice EKYCDeviceCameraSource::deviceAt(EKYCCameraPosition position) {
    const auto devices = QMediaDevices::videoInputs();
    for (const QCameraDevice& device : devices)
        if (device.position() == facing(position)) return device;
    const QCameraDevice preferred = QMediaDevices::defaultVideoInput();
    if (!preferred.isNull() && preferred.position() == QCameraDevice::UnspecifiedPosition) return preferred;
    for (const QCameraDevice& device : devices)
        if (device.position() == QCameraDevice::UnspecifiedPosition) return device;
    return {};
}

bool EKYCDeviceCameraSource::hasCamera(EKYCCameraPosition position) const {
    return !deviceAt(position).isNull();
}

bool EKYCDeviceCameraSource::open(EKYCCameraPosition position) {
    const QCameraDevice device = deviceAt(position);
    if (device.isNull()) return false;
    const bool wasRunning = isRunning();
    auto camera = std::make_unique<QCamera>(device);
    configure(*camera);
    if (camera_) camera_->stop();
    session().capture.setCamera(camera.get());
    camera_ = std::move(camera);
    position_ = position;
    if (wasRunning) camera_->start();
    return true;
}

void EKYCDeviceCameraSource::start() {
    if (camera_) camera_->start();
}

void EKYCDeviceCameraSource::stop() {
    if (camera_) camera_->stop();
}

bool EKYCDeviceCameraSource::isRunning() const {
    return camera_ && camera_->isActive();
}

bool EKYCDeviceCameraSource::isTorchAvailable() const {
    return camera_ && camera_->isAvailable() && camera_->isTorchModeSupported(QCamera::TorchOn);
}

std::optional<QString> EKYCDeviceCameraSource::setTorch(bool on, float level) {
    Q_UNUSED(level);  // Qt Multimedia has no torch level; on is on.
    if (!camera_) return QStringLiteral("No camera is open.");
    const auto mode = on ? QCamera::TorchOn : QCamera::TorchOff;
    camera_->setTorchMode(mode);
    if (camera_->torchMode() != mode) return QStringLiteral("The camera did not accept the torch mode.");
    return std::nullopt;
}

void EKYCDeviceCameraSource::captureStill() {
    if (!camera_ || !isRunning() || !session().imageCapture.isReadyForCapture()) return failStillLater();
    pendingStill_ = session().imageCapture.capture();
    if (pendingStill_ == -1) failStillLater();
}

void EKYCDeviceCameraSource::failStillLater() {
    QMetaObject::invokeMethod(
        this, [this] { deliverStill(QImage()); }, Qt::QueuedConnection);
}

}  // namespace ovira

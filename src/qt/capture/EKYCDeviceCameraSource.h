#pragma once

#include <QCameraDevice>
#include <memory>

#include "capture/EKYCCameraSource.h"

class QCamera;

namespace ovira {

// The device's cameras through Qt Multimedia: a capture session with a
// video sink for the frames and an image capture for the stills.
class EKYCDeviceCameraSource : public EKYCCameraSource {
    Q_OBJECT
public:
    explicit EKYCDeviceCameraSource(QObject* parent = nullptr);
    ~EKYCDeviceCameraSource() override;

    // The camera facing that way; failing that, one that does not say where
    // it faces (a desktop webcam), the system's default first. Null when
    // there is no camera at all.
    static QCameraDevice deviceAt(EKYCCameraPosition position);

    bool hasCamera(EKYCCameraPosition position) const override;
    bool open(EKYCCameraPosition position) override;
    std::optional<EKYCCameraPosition> position() const override { return position_; }
    void start() override;
    void stop() override;
    bool isRunning() const override;
    bool isTorchAvailable() const override;
    std::optional<QString> setTorch(bool on, float level) override;
    void captureStill() override;

private:
    struct Session;
    // Made with the first camera opened: a machine without one never starts
    // the multimedia backend.
    Session& session();
    void failStillLater();

    std::unique_ptr<Session> session_;
    std::unique_ptr<QCamera> camera_;
    std::optional<EKYCCameraPosition> position_;
    int pendingStill_ = -1;
};

}  // namespace ovira

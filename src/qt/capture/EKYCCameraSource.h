#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace ovira {

enum class EKYCCameraPosition { back, front };

// A camera as the capture screens use it: live frames, stills, front or
// back, a torch where there is one. Implemented over Qt Multimedia
// (EKYCDeviceCameraSource) and over files (EKYCFileCameraSource).
// Control from the GUI thread; frames arrive on the source's own thread.
class EKYCCameraSource : public QObject {
    Q_OBJECT
public:
    // Every frame, upright as the user sees the scene (not mirrored). Runs on
    // the thread that delivers frames, so it must return quickly.
    using FrameHandler = std::function<void(const QImage& frame)>;
    // The still asked for by captureStill(), as the camera gives it: upright
    // once turned `quarterTurns` clockwise quarter turns (0 when it already
    // is; sensors that lie across the screen give their stills turned). It
    // may have more pixels than the live frames, of the same scene around the
    // same centre. A null image when none could be taken. Always on the GUI
    // thread, after captureStill() returned.
    using StillHandler = std::function<void(const QImage& still, int quarterTurns)>;

    using QObject::QObject;

    // How a host chooses its cameras: the factory makes the source of every
    // capture screen. Without one, the file camera plays
    // OVIRACameraSettings::simulatedCameraMedia() when that is set, the
    // device camera otherwise.
    using Factory = std::function<std::unique_ptr<EKYCCameraSource>()>;
    static void setFactory(Factory factory);
    static std::unique_ptr<EKYCCameraSource> make();

    virtual bool hasCamera(EKYCCameraPosition position) const = 0;
    // Switches to the camera at `position`, running if the previous one was.
    // False, and nothing changed, when there is none.
    virtual bool open(EKYCCameraPosition position) = 0;
    // The open camera's position; nothing before a successful open().
    virtual std::optional<EKYCCameraPosition> position() const = 0;

    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;

    // Whether the open camera has a torch that can be used now.
    virtual bool isTorchAvailable() const = 0;
    // `level` in (0, 1] where the camera supports levels. The reason when
    // the camera refused.
    virtual std::optional<QString> setTorch(bool on, float level) = 0;

    // Asks for a still of the running camera, delivered to the still handler.
    virtual void captureStill() = 0;

    // Thread-safe; an empty handler stops the delivery.
    void setFrameHandler(FrameHandler handler);
    void setStillHandler(StillHandler handler);

protected:
    // For implementations: from any thread, and from the GUI thread.
    void deliverFrame(const QImage& frame) const;
    void deliverStill(const QImage& still, int quarterTurns = 0) const;

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const FrameHandler> frameHandler_;
    std::shared_ptr<const StillHandler> stillHandler_;
};

}  // namespace ovira

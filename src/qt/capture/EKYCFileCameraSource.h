#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <thread>
#include <vector>

#include "capture/EKYCCameraSource.h"

namespace ovira {

// A camera that plays files: a still image, a sequence of images, a video,
// or frames made in code (a face moving into the circle, say), landscape or
// portrait, of any size. For demos, tests and machines without a camera.
// Stills are the frame on show at the media's own size; live frames may be
// made smaller (setFrameSize) and stills may arrive turned as a sensor gives
// them (setStillTurns), as real cameras do.
class EKYCFileCameraSource : public EKYCCameraSource {
    Q_OBJECT
public:
    // What the camera shows.
    class Media {
    public:
        static Media image(const QString& path);
        static Media images(QStringList paths);
        // The folder's images in name order.
        static Media folder(const QString& path);
        // Decoded with OpenCV; its own frame rate unless one is set.
        static Media video(const QString& path);
        static Media frames(std::vector<QImage> frames);
        // A folder, an image Qt can read, or else a video.
        static Media fromPath(const QString& path);

    private:
        friend class EKYCFileCameraSource;
        enum class Kind { images, video, frames };
        Kind kind_ = Kind::frames;
        QStringList paths_;
        std::vector<QImage> frames_;
    };

    enum class Torch { none, available, failing };

    explicit EKYCFileCameraSource(Media media, std::vector<EKYCCameraPosition> positions = {
                                                   EKYCCameraPosition::back, EKYCCameraPosition::front});
    ~EKYCFileCameraSource() override;

    // Frames of `content` drawn with its centre at each of `centres` on a
    // plain background of `frameSize`: a scripted scene.
    static std::vector<QImage> composedFrames(const QImage& content, QSize frameSize,
                                              const std::vector<QPointF>& centres,
                                              QColor background = QColor(48, 52, 60));

    // Time between frames while running; zero stops the playback thread,
    // leaving deliverNextFrame() as the only way frames come.
    void setFrameInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds frameInterval() const;
    // Sends the next frame of the media now, on the calling thread, as if
    // the camera had; nothing while the camera is not running.
    void deliverNextFrame();
    int deliveredFrames() const { return delivered_.load(); }

    // Plays `media` from the next frame on (the person holds up something else).
    void setMedia(Media media);

    // Live frames reduced to `size` (cut around the centre to its proportions
    // first), while stills keep the media's pixels; an empty size (the
    // default) streams the media as it is. Set before start().
    void setFrameSize(QSize size);
    // Stills arrive turned `quarterTurns` quarter turns anticlockwise from
    // upright, and say so; 0 (the default) gives them upright.
    void setStillTurns(int quarterTurns) { stillTurns_ = quarterTurns; }

    void setTorch(Torch torch) { torch_ = torch; }
    bool isTorchOn() const { return torchOn_; }
    float torchLevel() const { return torchLevel_; }

    bool hasCamera(EKYCCameraPosition position) const override;
    bool open(EKYCCameraPosition position) override;
    std::optional<EKYCCameraPosition> position() const override { return position_; }
    void start() override;
    void stop() override;
    bool isRunning() const override { return running_.load(); }
    bool isTorchAvailable() const override;
    std::optional<QString> setTorch(bool on, float level) override;
    void captureStill() override;

private:
    class Player;
    void play();
    QImage currentFrame();
    QImage liveFrame(const QImage& frame);

    std::vector<EKYCCameraPosition> positions_;
    std::optional<EKYCCameraPosition> position_;
    std::unique_ptr<Player> player_;  // guarded by mutex_
    QImage current_;                  // guarded by mutex_
    std::mutex mutex_;
    std::mutex playbackMutex_;
    std::condition_variable wake_;
    bool stopping_ = false;  // guarded by playbackMutex_
    std::chrono::milliseconds interval_;
    std::thread playback_;
    std::atomic<bool> running_{false};
    std::atomic<int> delivered_{0};
    QSize frameSize_;
    int stillTurns_ = 0;
    qint64 lastSourceKey_ = 0;  // guarded by mutex_
    QImage lastLiveFrame_;      // guarded by mutex_
    Torch torch_ = Torch::none;
    bool torchOn_ = false;
    float torchLevel_ = 0;
};

}  // namespace ovira

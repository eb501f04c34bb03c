#include "capture/EKYCFileCameraSource.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <optional>

#include "vision/EKYCVideoFileReader.h"

namespace ovira {
namespace {

constexpr std::chrono::milliseconds defaultInterval{66};  // about 15 frames a second

QImage imageOfRaster(const RasterImage& raster) {
    const int stride = raster.width() * RasterImage::channels(raster.format());
    const auto format = raster.format() == RasterImage::Format::gray   ? QImage::Format_Grayscale8
                        : raster.format() == RasterImage::Format::rgba ? QImage::Format_RGBA8888
                                                                       : QImage::Format_RGB888;
    return QImage(raster.pixels().data(), raster.width(), raster.height(), stride, format).copy();
}

}  // namespace

// Turns the media into an endless run of frames. Decodes lazily, on the
// thread that asks.
class EKYCFileCameraSource::Player {
public:
    explicit Player(Media media) : media_(std::move(media)) {
        if (media_.kind_ == Media::Kind::video && !media_.paths_.isEmpty())
            video_.emplace(media_.paths_.front().toStdString());
    }

    std::optional<std::chrono::milliseconds> naturalInterval() const {
        if (!video_ || video_->framesPerSecond() <= 0) return std::nullopt;
        return std::chrono::milliseconds(static_cast<long long>(1000 / video_->framesPerSecond()));
    }

    QImage next() {
        switch (media_.kind_) {
            case Media::Kind::frames:
                if (media_.frames_.empty()) return {};
                return media_.frames_[index_++ % media_.frames_.size()];
            case Media::Kind::images: {
                if (media_.paths_.isEmpty()) return {};
                const auto count = static_cast<std::size_t>(media_.paths_.size());
                const auto at = index_++ % count;
                if (count == 1 && !single_.isNull()) return single_;
                QImage image(media_.paths_[static_cast<qsizetype>(at)]);
                if (count == 1) single_ = image;
                return image;
            }
            case Media::Kind::video: {
                if (!video_) return {};
                const auto frame = video_->next();
                return frame ? imageOfRaster(*frame) : QImage();
            }
        }
        return {};
    }

private:
    Media media_;
    std::optional<vision::EKYCVideoFileReader> video_;
    QImage single_;
    std::size_t index_ = 0;
};

EKYCFileCameraSource::Media EKYCFileCameraSource::Media::image(const QString& path) {
    return images({path});
}

EKYCFileCameraSource::Media EKYCFileCameraSource::Media::images(QStringList paths) {
    Media media;
    media.kind_ = Kind::images;
    media.paths_ = std::move(paths);
    return media;
}

EKYCFileCameraSource::Media EKYCFileCameraSource::Media::folder(const QString& path) {
    QStringList filters;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        filters << QStringLiteral("*.") + QString::fromLatin1(format);
    const QDir dir(path);
    QStringList paths;
    for (const QString& name : dir.entryList(filters, QDir::Files, QDir::Name)) paths << dir.filePath(name);
    return images(paths);
}

EKYCFileCameraSource::Media EKYCFileCameraSource::Media::video(const QString& path) {
    Media media;
    media.kind_ = Kind::video;
    media.paths_ = {path};
    return media;
}

EKYCFileCameraSource::Media EKYCFileCameraSource::Media::frames(std::vector<QImage> frames) {
    Media media;
    media.kind_ = Kind::frames;
    media.frames_ = std::move(frames);
    return media;
}

EKYCFileCameraSource::Media EKYCFileCameraSource::Media::fromPath(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return folder(path);
    if (!QImageReader::imageFormat(path).isEmpty()) return image(path);
    return video(path);
}

EKYCFileCameraSource::EKYCFileCameraSource(Media media, std::vector<EKYCCameraPosition> positions)
    : positions_(std::move(positions)), player_(std::make_unique<Player>(std::move(media))) {
    interval_ = player_->naturalInterval().value_or(defaultInterval);
}

EKYCFileCameraSource::~EKYCFileCameraSource() {
    stop();
}

std::vector<QImage> EKYCFileCameraSource::composedFrames(const QImage& content, QSize frameSize,
                                                         const std::vector<QPointF>& centres,
                                                         QColor background) {
    std::vector<QImage> frames;
    for (const QPointF& centre : centres) {
        QImage frame(frameSize, QImage::Format_RGB32);
        frame.fill(background);
        QPainter painter(&frame);
        painter.drawImage(centre - QPointF(content.width() / 2.0, content.height() / 2.0), content);
        painter.end();
        frames.push_back(frame);
    }
    return frames;
}

void EKYCFileCameraSource::setFrameInterval(std::chrono::milliseconds interval) {
    const bool wasRunning = isRunning();
    if (wasRunning) stop();
    interval_ = std::max(std::chrono::milliseconds(0), interval);
    if (wasRunning) start();
}

std::chrono::milliseconds EKYCFileCameraSource::frameInterval() const {
    return interval_;
}

void EKYCFileCameraSource::setMedia(Media media) {
    auto player = std::make_unique<Player>(std::move(media));
    std::lock_guard lock(mutex_);
    player_ = std::move(player);
    current_ = QImage();
}

void EKYCFileCameraSource::setFrameSize(QSize size) {
    std::lock_guard lock(mutex_);
    frameSize_ = size;
    lastSourceKey_ = 0;
    lastLiveFrame_ = QImage();
}

// The media's frame as the live stream shows it; the last one is kept, so a
// still image costs one reduction, not one a frame. Under mutex_.
QImage EKYCFileCameraSource::liveFrame(const QImage& frame) {
    if (frameSize_.isEmpty() || frame.size() == frameSize_) return frame;
    if (frame.cacheKey() == lastSourceKey_ && !lastLiveFrame_.isNull()) return lastLiveFrame_;
    QSize cut = frameSize_.scaled(frame.size(), Qt::KeepAspectRatio);
    const QRect middle(QPoint((frame.width() - cut.width()) / 2, (frame.height() - cut.height()) / 2), cut);
    lastLiveFrame_ = frame.copy(middle).scaled(frameSize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    lastSourceKey_ = frame.cacheKey();
    return lastLiveFrame_;
}

void EKYCFileCameraSource::deliverNextFrame() {
    if (!isRunning()) return;
    QImage frame;
    {
        std::lock_guard lock(mutex_);
        frame = player_->next();
        if (!frame.isNull()) {
            current_ = frame;
            frame = liveFrame(frame);
        }
    }
    if (frame.isNull()) return;
    ++delivered_;
    deliverFrame(frame);
}

bool EKYCFileCameraSource::hasCamera(EKYCCameraPosition position) const {
    return std::find(positions_.begin(), positions_.end(), position) != positions_.end();
}

bool EKYCFileCameraSource::open(EKYCCameraPosition position) {
    if (!hasCamera(position)) return false;
    position_ = position;
    return true;
}

void EKYCFileCameraSource::start() {
    if (!position_ || running_.exchange(true)) return;
    if (interval_.count() == 0) return;
    {
        std::lock_guard lock(playbackMutex_);
        stopping_ = false;
    }
    playback_ = std::thread([this] { play(); });
}

void EKYCFileCameraSource::stop() {
    if (!running_.exchange(false)) return;
    {
        std::lock_guard lock(playbackMutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (playback_.joinable()) playback_.join();
}

void EKYCFileCameraSource::play() {
    std::unique_lock lock(playbackMutex_);
    while (!stopping_) {
        lock.unlock();
        deliverNextFrame();
        lock.lock();
        wake_.wait_for(lock, interval_, [this] { return stopping_; });
    }
}

bool EKYCFileCameraSource::isTorchAvailable() const {
    return position_ && torch_ != Torch::none;
}

std::optional<QString> EKYCFileCameraSource::setTorch(bool on, float level) {
    if (torch_ == Torch::none) return QStringLiteral("This camera has no torch.");
    if (torch_ == Torch::failing) return QStringLiteral("The torch is busy.");
    torchOn_ = on;
    torchLevel_ = on ? level : 0;
    return std::nullopt;
}

QImage EKYCFileCameraSource::currentFrame() {
    std::lock_guard lock(mutex_);
    if (current_.isNull()) current_ = player_->next();
    return current_;
}

void EKYCFileCameraSource::captureStill() {
    // Like a real camera, the still comes later, and only from a running one.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!isRunning()) return deliverStill(QImage());
            const int turns = ((stillTurns_ % 4) + 4) % 4;
            const QImage still = currentFrame();
            if (turns == 0) return deliverStill(still);
            deliverStill(still.transformed(QTransform().rotate(-90.0 * turns)), turns);
        },
        Qt::QueuedConnection);
}

}  // namespace ovira

#include "capture/EKYCCameraDetectionService.h"

#include <QSysInfo>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <exception>
#include <mutex>

#include "capture/CameraFlipTransition.h"
#include "capture/EKYCCameraPreviewLayer.h"
#include "capture/EKYCDetectionPipeline.h"
#include "ovira/EKYCLogger.h"
#include "platform/MainQueue.h"
#include "platform/RasterImage.h"
#include "sdk/QtMainQueue.h"
#include "vision/EKYCCardExaminer.h"
#include "vision/EKYCGuardedFaceDetector.h"
#include "vision/PhotoCropper.h"

namespace ovira {
namespace {

const EKYCLogger& logger() {
    static const EKYCLogger instance("[Camera]", EKYCLogger::Subsystem::general);
    return instance;
}

}  // namespace

// The delegate as the threads see it. The GUI thread sets it; the capture
// thread calls it holding `delivery`, so that replacing the delegate waits
// for a photograph being handed over.
struct EKYCCameraDetectionService::DelegateCell {
    std::mutex delivery;
    std::mutex pointer;
    EKYCCameraDetectionServiceDelegate* delegate = nullptr;  // guarded by pointer
    QPointer<QObject> object;                                // GUI thread
    bool isObject = false;                                   // GUI thread
    QMetaObject::Connection destroyed;                       // GUI thread

    EKYCCameraDetectionServiceDelegate* current() {
        std::lock_guard lock(pointer);
        return delegate;
    }
    // On the GUI thread a QObject delegate that is gone counts as none.
    EKYCCameraDetectionServiceDelegate* onGui() {
        if (isObject && !object) return nullptr;
        return current();
    }
    void reset(EKYCCameraDetectionServiceDelegate* next) {
        std::lock_guard waitForDelivery(delivery);
        std::lock_guard lock(pointer);
        delegate = next;
    }
};

// What the frame thread needs, shared so that a frame in flight never
// outlives it.
struct EKYCCameraDetectionService::FrameState {
    enum Examination { none, faces, document };
    std::atomic<int> examine{none};
    std::unique_ptr<EKYCDetectionPipeline> pipeline;
    std::mutex mutex;
    QImage latest;                              // guarded by mutex
    bool previewPending = false;                // guarded by mutex
    capture::Rect windowShare;                  // guarded by mutex: the card window, shares of the frame
    QPointer<EKYCCameraPreviewLayer> layer;     // GUI thread
    QPointer<EKYCCameraDetectionService> owner;  // GUI thread
};

EKYCCameraDetectionService::EKYCCameraDetectionService(std::unique_ptr<EKYCCameraSource> source,
                                                       std::shared_ptr<EKYCFaceDetector> detector,
                                                       std::shared_ptr<EKYCDocumentExaminer> examiner,
                                                       QObject* parent)
    : QObject(parent),
      source_(source ? std::move(source) : EKYCCameraSource::make()),
      previewLayer_(new EKYCCameraPreviewLayer(this)),
      delegate_(std::make_shared<DelegateCell>()),
      frames_(std::make_shared<FrameState>()) {
    installQtMainQueue();
    QPointer<EKYCCameraDetectionService> self(this);
    frames_->layer = previewLayer_;
    frames_->owner = this;
    frames_->pipeline = std::make_unique<EKYCDetectionPipeline>(
        std::make_shared<vision::EKYCGuardedFaceDetector>(std::move(detector)),
        [self](const std::vector<EKYCDetectedFace>& faces, capture::Size frame) {
            if (self) self->reportFaces(faces, frame);
        },
        examiner ? std::move(examiner) : vision::makeDefaultDocumentExaminer(),
        [self](const EKYCDocumentMeasures& measures, const capture::Rect& window, capture::Size) {
            if (self) self->reportDocument(measures, window);
        });

    source_->setFrameHandler([state = frames_](const QImage& frame) {
        bool post = false;
        {
            std::lock_guard lock(state->mutex);
            state->latest = frame;
            post = !state->previewPending;
            state->previewPending = true;
        }
        // One repaint waits at a time and shows the newest frame.
        if (post)
            MainQueue::async([state] {
                QImage image;
                {
                    std::lock_guard lock(state->mutex);
                    image = state->latest;
                    state->previewPending = false;
                }
                if (state->layer) state->layer->setImage(image);
                if (state->owner && state->examine.load() == FrameState::document)
                    state->owner->updateDocumentWindow();
            });
        // Converted on the detection thread, and only if examined.
        const auto make = [frame] { return detectionFrameOf(frame); };
        switch (state->examine.load()) {
            case FrameState::faces:
                state->pipeline->submit(make);
                break;
            case FrameState::document: {
                capture::Rect share;
                {
                    std::lock_guard lock(state->mutex);
                    share = state->windowShare;
                }
                const double width = frame.width(), height = frame.height();
                if (!share.isEmpty())
                    state->pipeline->submitDocument(make, {share.x * width, share.y * height, share.width * width,
                                                           share.height * height});
                break;
            }
            default:
                break;
        }
    });
    source_->setStillHandler([this](const QImage& still, int quarterTurns) { handleStill(still, quarterTurns); });
}

EKYCCameraDetectionService::~EKYCCameraDetectionService() {
    source_->setFrameHandler({});
    source_->setStillHandler({});
    source_->stop();
    frames_->examine = FrameState::none;
    QObject::disconnect(delegate_->destroyed);
    delegate_->reset(nullptr);
}

EKYCCameraDetectionServiceDelegate* EKYCCameraDetectionService::delegate() const {
    return delegate_->onGui();
}

void EKYCCameraDetectionService::setDelegate(EKYCCameraDetectionServiceDelegate* delegate) {
    auto& cell = *delegate_;
    if (delegate != cell.onGui()) {
        QObject::disconnect(cell.destroyed);
        cell.reset(delegate);
        auto* object = dynamic_cast<QObject*>(delegate);
        cell.object = object;
        cell.isObject = object != nullptr;
        if (object)
            cell.destroyed = connect(object, &QObject::destroyed, this, [this] {
                delegate_->reset(nullptr);
                updateExamination();
            });
    }
    updateExamination();
}

bool EKYCCameraDetectionService::isCardMode() const {
    auto* delegate = delegate_->onGui();
    return delegate && delegate->isCardMode();
}

// Frames are examined only for a screen, for what that screen shows.
void EKYCCameraDetectionService::updateExamination() {
    auto* delegate = delegate_->onGui();
    frames_->examine = !delegate                ? FrameState::none
                       : delegate->isCardMode() ? FrameState::document
                                                : FrameState::faces;
    updateDocumentWindow();
}

void EKYCCameraDetectionService::updateDocumentWindow() {
    const capture::PreviewMapping preview = previewLayer_->mapping();
    capture::Rect share;
    if (!preview.frame.isEmpty()) {
        const capture::Rect window = capture::intersected(
            capture::viewToFrame(capture::cardWindow(previewLayer_->windowLayout()), preview),
            {0, 0, preview.frame.width, preview.frame.height});
        share = {window.x / preview.frame.width, window.y / preview.frame.height,
                 window.width / preview.frame.width, window.height / preview.frame.height};
    }
    std::lock_guard lock(frames_->mutex);
    frames_->windowShare = share;
}

void EKYCCameraDetectionService::publish(const EKYCGuidance& guidance) {
    guidance_ = guidance;
    if (auto* delegate = delegate_->onGui()) delegate->didUpdateGuidance(guidance);
}

void EKYCCameraDetectionService::reportFaces(const std::vector<EKYCDetectedFace>& faces, capture::Size frame) {
    if (frames_->examine.load() != FrameState::faces) return;
    // Every face in turn; the last one decides.
    for (const EKYCDetectedFace& face : faces) checkFace(face.box, frame);
    const Shown shown = shownAs(frame);
    publish(faceGuidance_.update(faces, capture::viewToFrame(capture::faceSquare(shown.layout), shown.preview)));
}

void EKYCCameraDetectionService::reportDocument(const EKYCDocumentMeasures& measures, const capture::Rect& window) {
    if (frames_->examine.load() != FrameState::document) return;
    publish(documentGuidance_.update(measures, window));
}

void EKYCCameraDetectionService::startCamera() {
    updateExamination();
    faceGuidance_.reset();
    documentGuidance_.reset();
    const auto position = isCardMode() ? EKYCCameraPosition::back : EKYCCameraPosition::front;
    if (!source_->open(position)) return;
    previewLayer_->setMirrored(position == EKYCCameraPosition::front);
    source_->start();
}

void EKYCCameraDetectionService::switchCamera(QWidget* view) {
    const auto current = source_->position();
    if (!current) return;
    const bool toBack = *current != EKYCCameraPosition::back;
    const auto next = toBack ? EKYCCameraPosition::back : EKYCCameraPosition::front;
    // Without a camera on the other side, keep the one that works.
    if (!source_->hasCamera(next)) {
        std::printf("error: no camera faces the other way\n");
        std::fflush(stdout);
        return;
    }
    runCameraFlip(view, toBack ? FlipDirection::fromRight : FlipDirection::fromLeft, flipDuration);
    if (!source_->open(next)) {
        std::printf("error: the camera could not be opened\n");
        std::fflush(stdout);
        return;
    }
    previewLayer_->setMirrored(next == EKYCCameraPosition::front);
}

void EKYCCameraDetectionService::setTorch(bool isOn) {
    if (!source_->position()) {
        std::printf("not implement device\n");
        std::fflush(stdout);
        return;
    }
    if (!source_->isTorchAvailable()) return;
    if (const auto error = source_->setTorch(isOn, torchLevel))
        logger().logMessage("Unable to lock device for configuation: " + error->toStdString());
}

void EKYCCameraDetectionService::capturePhoto() {
    const bool card = isCardMode();
    const capture::WindowLayout layout = previewLayer_->windowLayout();
    pendingCrop_ = {card, previewLayer_->mapping(), card ? capture::cardWindow(layout) : capture::faceSquare(layout)};
    source_->captureStill();
}

void EKYCCameraDetectionService::startRunning() {
    if (source_->position()) source_->start();
}

void EKYCCameraDetectionService::stopRunning() {
    source_->stop();
}

bool EKYCCameraDetectionService::isRunning() const {
    return source_->isRunning();
}

void EKYCCameraDetectionService::handleStill(const QImage& still, int quarterTurns) {
    // The preview freezes on the photographed scene while it is judged.
    source_->stop();
    auto failed = [cell = delegate_] {
        MainQueue::async([cell] {
            if (auto* delegate = cell->onGui()) delegate->didFailCapture();
        });
    };
    if (still.isNull()) return failed();
    // The task holds its queue: the service (and its screen) may go while
    // the work runs, and the queue then ends on its own thread.
    captureQueue_->async([still, quarterTurns, settings = pendingCrop_, cell = delegate_, failed,
                          queue = captureQueue_] {
        const ImagePtr image = cropImage(still, quarterTurns, settings);
        if (!image) return failed();
        std::function<void()> work;
        {
            std::lock_guard delivery(cell->delivery);
            if (auto* delegate = cell->current()) work = delegate->workForCapturedImage(image);
        }
        if (work) work();
    });
}

namespace {

// The still's bytes as they lie in memory; formats without a direct match
// are converted once (cameras deliver one of the matched ones).
std::pair<QImage, vision::PixelOrder> pixelsOf(const QImage& still) {
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    switch (still.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            if (littleEndian) return {still, vision::PixelOrder::bgra};
            break;
        case QImage::Format_RGBX8888:
        case QImage::Format_RGBA8888:
        case QImage::Format_RGBA8888_Premultiplied:
            return {still, vision::PixelOrder::rgba};
        case QImage::Format_RGB888:
            return {still, vision::PixelOrder::rgb};
        case QImage::Format_BGR888:
            return {still, vision::PixelOrder::bgr};
        case QImage::Format_Grayscale8:
            return {still, vision::PixelOrder::gray};
        default:
            break;
    }
    return {still.convertToFormat(QImage::Format_RGB888), vision::PixelOrder::rgb};
}

}  // namespace

ImagePtr EKYCCameraDetectionService::cropImage(const QImage& still, int quarterTurns,
                                               const CropSettings& settings) {
    if (still.isNull()) return nullptr;
    const capture::Size arrived{double(still.width()), double(still.height())};
    const capture::Size upright = capture::turned(arrived, quarterTurns);
    const capture::Rect region = capture::stillRegion(settings.window, settings.preview, upright);
    const capture::Rect crop =
        vision::wholePixels(capture::uprightToArrived(region, upright, quarterTurns), still.width(), still.height());
    if (crop.isEmpty()) return nullptr;
    const capture::Size cropped = capture::turned({crop.width, crop.height}, quarterTurns);
    const capture::Size size =
        capture::photographSize(cropped, settings.cardMode ? capture::cardMaxLongSide : capture::faceMaxSide);
    if (settings.cardMode ? cropped.width < capture::cardReadableWidth
                          : std::min(cropped.width, cropped.height) < capture::faceReadableSide)
        logger().logMessage(QStringLiteral("The camera is low-resolution: the %1 under the window is %2 x %3 pixels, "
                                           "fewer than the %4 a good photograph needs.")
                                .arg(settings.cardMode ? QStringLiteral("card") : QStringLiteral("face"))
                                .arg(cropped.width)
                                .arg(cropped.height)
                                .arg(settings.cardMode ? QStringLiteral("%1 across").arg(capture::cardReadableWidth)
                                                       : QStringLiteral("%1 square").arg(capture::faceReadableSide))
                                .toStdString());
    const auto [source, order] = pixelsOf(still);
    auto photo = vision::cropAndScale(
        {source.constBits(), source.width(), source.height(), static_cast<std::size_t>(source.bytesPerLine()), order},
        crop, int(size.width), int(size.height), quarterTurns);
    if (photo.isEmpty()) return nullptr;
    return std::make_shared<const RasterImage>(std::move(photo));
}

EKYCDetectionPipeline::Frame EKYCCameraDetectionService::detectionFrameOf(const QImage& frame) {
    if (frame.isNull()) return {};
    const capture::Size size{double(frame.width()), double(frame.height())};
    // Halving is the fastest reduction there is, and exact.
    int factor = 1;
    while (std::max(frame.width(), frame.height()) / factor > detectionFrameLongSide) factor *= 2;
    const int width = frame.width() / factor, height = frame.height() / factor;
    if (width < 1 || height < 1) return {};
    const auto [source, order] = pixelsOf(frame);
    // The last rows and columns a whole factor leaves over are dropped.
    auto small = vision::cropAndScale(
        {source.constBits(), source.width(), source.height(), static_cast<std::size_t>(source.bytesPerLine()), order},
        {0, 0, double(width * factor), double(height * factor)}, width, height);
    if (small.isEmpty()) return {};
    return {std::make_shared<const RasterImage>(std::move(small)), double(factor), size};
}

EKYCCameraDetectionService::Shown EKYCCameraDetectionService::shownAs(capture::Size frame) const {
    Shown shown{previewLayer_->mapping(), previewLayer_->windowLayout()};
    shown.preview.frame = frame;
    shown.layout.video = capture::videoRect(shown.preview);
    return shown;
}

void EKYCCameraDetectionService::checkFace(const capture::Rect& face, capture::Size frame) {
    // Mapped as the preview shows this frame.
    const Shown shown = shownAs(frame);
    // A preview not laid out yet shows no circle a face could be in.
    const bool isValid =
        capture::isFaceInside(capture::frameToView(face, shown.preview), capture::faceSquare(shown.layout));
    if (auto* delegate = delegate_->onGui()) delegate->didValidateFace(isValid);
}

void EKYCCameraDetectionService::waitUntilDetectionIdle() {
    frames_->pipeline->waitUntilIdle();
}

void EKYCCameraDetectionService::waitUntilCaptureIdle() {
    captureQueue_->sync([] {});
}

}  // namespace ovira

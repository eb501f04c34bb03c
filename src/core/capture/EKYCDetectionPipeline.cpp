#include "capture/EKYCDetectionPipeline.h"

#include <algorithm>
#include <cmath>

#include "platform/MainQueue.h"

namespace ovira {

namespace {

capture::Rect scaled(const capture::Rect& r, double factor) {
    return {r.x * factor, r.y * factor, r.width * factor, r.height * factor};
}

}  // namespace

EKYCDetectionPipeline::EKYCDetectionPipeline(std::shared_ptr<EKYCFaceDetector> detector, FaceReport faceReport,
                                             std::shared_ptr<EKYCDocumentExaminer> examiner,
                                             DocumentReport documentReport)
    : detector_(std::move(detector)),
      examiner_(std::move(examiner)),
      faceReport_(std::make_shared<FaceReport>(std::move(faceReport))),
      documentReport_(std::make_shared<DocumentReport>(std::move(documentReport))) {}

EKYCDetectionPipeline::~EKYCDetectionPipeline() {
    alive_->store(false);
}

double EKYCDetectionPipeline::meanGrey(const RasterImage& image, const capture::Rect& box) {
    const capture::Rect area = capture::intersected(box, {0, 0, double(image.width()), double(image.height())});
    if (area.isEmpty()) return -1;
    const int channels = RasterImage::channels(image.format());
    const auto& pixels = image.pixels();
    constexpr int kSamples = 32;
    double total = 0;
    int count = 0;
    for (int j = 0; j < kSamples; ++j) {
        const int y = std::min(image.height() - 1, int(area.y + (j + 0.5) * area.height / kSamples));
        for (int i = 0; i < kSamples; ++i) {
            const int x = std::min(image.width() - 1, int(area.x + (i + 0.5) * area.width / kSamples));
            const std::uint8_t* p = &pixels[(std::size_t(y) * image.width() + x) * channels];
            total += channels == 1 ? p[0] : 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
            ++count;
        }
    }
    return total / count;
}

bool EKYCDetectionPipeline::submit(std::shared_ptr<const RasterImage> frame) {
    if (!frame || frame->isEmpty()) return true;
    const capture::Size size{double(frame->width()), double(frame->height())};
    return submit([frame = std::move(frame), size] { return Frame{frame, 1, size}; });
}

bool EKYCDetectionPipeline::submit(FrameMaker makeFrame) {
    if (!makeFrame || !detector_) return true;
    return !queue_.submit([detector = detector_, report = faceReport_, alive = alive_,
                           makeFrame = std::move(makeFrame)] {
        if (!alive->load()) return;
        const Frame made = makeFrame();
        if (!made.image || made.image->isEmpty()) return;
        auto faces = detector->detectFacesWithKeypoints(*made.image);
        for (auto& face : faces) {
            face.brightness = meanGrey(*made.image, face.box);
            face.box = scaled(face.box, made.scale);
            for (auto& point : face.keypoints) point = {point.x * made.scale, point.y * made.scale};
        }
        MainQueue::async([report, alive, faces = std::move(faces), size = made.frame] {
            if (alive->load()) (*report)(faces, size);
        });
    });
}

bool EKYCDetectionPipeline::submitDocument(FrameMaker makeFrame, capture::Rect window) {
    if (!makeFrame || !examiner_ || window.isEmpty()) return true;
    return !queue_.submit([examiner = examiner_, report = documentReport_, alive = alive_,
                           makeFrame = std::move(makeFrame), window] {
        if (!alive->load()) return;
        const Frame made = makeFrame();
        if (!made.image || made.image->isEmpty() || made.scale <= 0) return;
        EKYCDocumentMeasures measures = examiner->examine(*made.image, scaled(window, 1 / made.scale));
        // Corners back in camera pixels; the other measures are shares and levels.
        for (auto& corner : measures.corners) corner = {corner.x * made.scale, corner.y * made.scale};
        MainQueue::async([report, alive, measures, window, size = made.frame] {
            if (alive->load() && *report) (*report)(measures, window, size);
        });
    });
}

}  // namespace ovira

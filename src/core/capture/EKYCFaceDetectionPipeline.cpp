#include "capture/EKYCFaceDetectionPipeline.h"

#include "platform/MainQueue.h"

namespace ovira {

EKYCFaceDetectionPipeline::EKYCFaceDetectionPipeline(std::shared_ptr<EKYCFaceDetector> detector,
                                                     Report report)
    : detector_(std::move(detector)), report_(std::make_shared<Report>(std::move(report))) {}

EKYCFaceDetectionPipeline::~EKYCFaceDetectionPipeline() {
    alive_->store(false);
}

bool EKYCFaceDetectionPipeline::submit(std::shared_ptr<const RasterImage> frame) {
    if (!frame || frame->isEmpty() || !detector_) return true;
    return !queue_.submit([detector = detector_, report = report_, alive = alive_, frame = std::move(frame)] {
        if (!alive->load()) return;
        auto faces = detector->detectFaces(*frame);
        if (faces.empty()) return;
        const capture::Size size{static_cast<double>(frame->width()), static_cast<double>(frame->height())};
        MainQueue::async([report, alive, faces = std::move(faces), size] {
            if (alive->load()) (*report)(faces, size);
        });
    });
}

}  // namespace ovira

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
    if (!frame || frame->isEmpty()) return true;
    const capture::Size size{double(frame->width()), double(frame->height())};
    return submit([frame = std::move(frame), size] { return FaceFrame{frame, 1, size}; });
}

bool EKYCFaceDetectionPipeline::submit(FrameMaker makeFrame) {
    if (!makeFrame || !detector_) return true;
    return !queue_.submit(
        [detector = detector_, report = report_, alive = alive_, makeFrame = std::move(makeFrame)] {
            if (!alive->load()) return;
            const FaceFrame made = makeFrame();
            if (!made.image || made.image->isEmpty()) return;
            auto faces = detector->detectFaces(*made.image);
            if (faces.empty()) return;
            for (auto& face : faces)
                face = {face.x * made.scale, face.y * made.scale, face.width * made.scale,
                        face.height * made.scale};
            const capture::Size size = made.frame;
            MainQueue::async([report, alive, faces = std::move(faces), size] {
                if (alive->load()) (*report)(faces, size);
            });
        });
}

}  // namespace ovira

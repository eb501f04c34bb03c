#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "capture/EKYCFaceDetector.h"
#include "platform/LatestOnlyQueue.h"

namespace ovira {

// Live frames to face reports: frames are examined one at a time on the
// queue "ai.qorix.OVIRA.detection", only the newest frame waits, and the
// faces found go to the main queue. A frame without a face reports nothing.
class EKYCFaceDetectionPipeline {
public:
    // Faces in frame pixels, and the frame's size. Runs on the main queue.
    using Report = std::function<void(const std::vector<capture::Rect>& faces, capture::Size frame)>;

    EKYCFaceDetectionPipeline(std::shared_ptr<EKYCFaceDetector> detector, Report report);
    // Stops reporting (nothing reaches `report` afterwards, even a report
    // already queued for the main thread), then joins the detection thread.
    // Destroy it on the main thread.
    ~EKYCFaceDetectionPipeline();

    // From any thread; returns at once. False when the frame replaced one
    // that was still waiting.
    bool submit(std::shared_ptr<const RasterImage> frame);
    // A camera frame as the detector is given it: maybe reduced, `scale`
    // camera pixels to one of `image`, from a camera frame of `frame` pixels.
    struct FaceFrame {
        std::shared_ptr<const RasterImage> image;
        double scale = 1;
        capture::Size frame;
    };
    // The same, with the frame made on the detection thread when its turn
    // comes, so a frame replaced while it waits costs nothing. Faces are
    // reported in the camera frame's pixels. A null image reports nothing.
    using FrameMaker = std::function<FaceFrame()>;
    bool submit(FrameMaker makeFrame);

    // Blocks until no frame waits or is being examined.
    void waitUntilIdle() { queue_.waitUntilIdle(); }
    const LatestOnlyQueue& queue() const { return queue_; }

private:
    std::shared_ptr<EKYCFaceDetector> detector_;
    std::shared_ptr<Report> report_;
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
    LatestOnlyQueue queue_{"ai.qorix.OVIRA.detection"};
};

}  // namespace ovira

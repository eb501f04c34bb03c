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

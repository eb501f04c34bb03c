#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "capture/EKYCDocumentExaminer.h"
#include "capture/EKYCFaceDetector.h"
#include "platform/LatestOnlyQueue.h"

namespace ovira {

// Live frames to reports: frames are examined one at a time on the queue
// "ai.qorix.OVIRA.detection", only the newest frame waits, and what was
// found goes to the main queue. Face screens look for faces; card screens
// measure the document in the card window.
class EKYCDetectionPipeline {
public:
    // The faces found (maybe none) with their key points and brightness, in
    // camera frame pixels, and the frame's size. Runs on the main queue.
    using FaceReport = std::function<void(const std::vector<EKYCDetectedFace>& faces, capture::Size frame)>;
    // The document's measures and the window they were taken in, in camera
    // frame pixels, and the frame's size. Runs on the main queue.
    using DocumentReport =
        std::function<void(const EKYCDocumentMeasures& measures, const capture::Rect& window, capture::Size frame)>;

    EKYCDetectionPipeline(std::shared_ptr<EKYCFaceDetector> detector, FaceReport faceReport,
                          std::shared_ptr<EKYCDocumentExaminer> examiner = nullptr,
                          DocumentReport documentReport = {});
    // Stops reporting (nothing reaches a report afterwards, even one already
    // queued for the main thread), then joins the detection thread. Destroy
    // it on the main thread.
    ~EKYCDetectionPipeline();

    // A camera frame as it is examined: maybe reduced, `scale` camera pixels
    // to one of `image`, from a camera frame of `frame` pixels.
    struct Frame {
        std::shared_ptr<const RasterImage> image;
        double scale = 1;
        capture::Size frame;
    };
    // Makes the frame on the detection thread when its turn comes, so that a
    // frame replaced while it waits costs nothing. A null image reports nothing.
    using FrameMaker = std::function<Frame()>;

    // Faces. From any thread; returns at once. False when the frame replaced
    // one that was still waiting.
    bool submit(std::shared_ptr<const RasterImage> frame);
    bool submit(FrameMaker makeFrame);
    // The document in `window` (camera frame pixels). Nothing without an examiner.
    bool submitDocument(FrameMaker makeFrame, capture::Rect window);

    // Blocks until no frame waits or is being examined.
    void waitUntilIdle() { queue_.waitUntilIdle(); }
    const LatestOnlyQueue& queue() const { return queue_; }

    // Mean grey level of `image` inside `box` (its pixels), sampled on a grid
    // of at most 32 x 32 points; -1 for an empty box. Any thread.
    static double meanGrey(const RasterImage& image, const capture::Rect& box);

private:
    std::shared_ptr<EKYCFaceDetector> detector_;
    std::shared_ptr<EKYCDocumentExaminer> examiner_;
    std::shared_ptr<FaceReport> faceReport_;
    std::shared_ptr<DocumentReport> documentReport_;
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
    LatestOnlyQueue queue_{"ai.qorix.OVIRA.detection"};
};

}  // namespace ovira

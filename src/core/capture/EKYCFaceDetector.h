#pragma once

#include <vector>

#include "capture/EKYCCaptureGeometry.h"
#include "platform/RasterImage.h"

namespace ovira {

// A face found in a frame: its bounding box and, when the detector gives
// them, its key points, all in the frame's pixels.
struct EKYCDetectedFace {
    // The key points' order. "Right" and "left" are the person's own: the
    // right eye lies on the image's left in an unmirrored frame. Nothing in
    // a face tells a mirror image from the mirrored person's own, so in a
    // mirrored frame the point called right is on the image's left all the
    // same: detectors are given frames as the camera takes them.
    enum Keypoint { rightEye, leftEye, noseTip, mouth, rightEar, leftEar, keypointCount };

    capture::Rect box;
    // Empty, or keypointCount points in the order above.
    std::vector<capture::Point> keypoints;
    // Mean grey level (0..255) inside the box; negative when not measured.
    double brightness = -1;

    bool hasKeypoints() const { return keypoints.size() == keypointCount; }
    const capture::Point& point(Keypoint which) const { return keypoints[which]; }
};

// Finds faces in a video frame. Called on the detection thread only, one
// frame at a time.
class EKYCFaceDetector {
public:
    virtual ~EKYCFaceDetector() = default;
    // The faces' bounding boxes in the frame's pixels, in no particular order.
    virtual std::vector<capture::Rect> detectFaces(const RasterImage& frame) = 0;
    // The faces with their key points where the detector finds them; by
    // default the boxes of detectFaces() without key points.
    virtual std::vector<EKYCDetectedFace> detectFacesWithKeypoints(const RasterImage& frame) {
        std::vector<EKYCDetectedFace> faces;
        for (const capture::Rect& box : detectFaces(frame)) faces.push_back({box, {}, -1});
        return faces;
    }
};

}  // namespace ovira

#pragma once

#include <vector>

#include "capture/EKYCCaptureGeometry.h"
#include "platform/RasterImage.h"

namespace ovira {

// Finds faces in a video frame. Called on the detection thread only, one
// frame at a time.
class EKYCFaceDetector {
public:
    virtual ~EKYCFaceDetector() = default;
    // The faces' bounding boxes in the frame's pixels, in no particular order.
    virtual std::vector<capture::Rect> detectFaces(const RasterImage& frame) = 0;
};

}  // namespace ovira

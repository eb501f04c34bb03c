#pragma once

#include <memory>

#include "capture/EKYCFaceDetector.h"

namespace ovira::vision {

// A face detector that loads the library's own (makeDefaultFaceDetector())
// when it is first used, so that creating it costs nothing, and that turns
// any failure of the detector into "no face", logged, so that it never
// takes the host down. Wraps a given detector the same way.
class EKYCGuardedFaceDetector final : public EKYCFaceDetector {
public:
    explicit EKYCGuardedFaceDetector(std::shared_ptr<EKYCFaceDetector> detector = nullptr)
        : detector_(std::move(detector)) {}

    std::vector<capture::Rect> detectFaces(const RasterImage& frame) override;
    std::vector<EKYCDetectedFace> detectFacesWithKeypoints(const RasterImage& frame) override;

private:
    EKYCFaceDetector* detector();
    std::shared_ptr<EKYCFaceDetector> detector_;
};

}  // namespace ovira::vision

#pragma once

#include <memory>
#include <string>

#include "capture/EKYCFaceDetector.h"

namespace ovira::vision {

// Frontal faces with OpenCV's Haar cascade, on a frame scaled down to at
// most 320 pixels wide (faces that matter fill much of the circle).
// A cascade that cannot be loaded finds nothing and says so once in the log.
class EKYCHaarFaceDetector : public EKYCFaceDetector {
public:
    // The cascade file; empty: the one from OpenCV's data found at build time.
    explicit EKYCHaarFaceDetector(const std::string& cascadeFile = {});
    ~EKYCHaarFaceDetector() override;

    bool isLoaded() const;
    std::vector<capture::Rect> detectFaces(const RasterImage& frame) override;

private:
    struct Cascade;
    std::unique_ptr<Cascade> cascade_;
};

}  // namespace ovira::vision

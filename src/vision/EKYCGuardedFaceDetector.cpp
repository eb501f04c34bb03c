#include "vision/EKYCGuardedFaceDetector.h"

#include <cstdio>
#include <exception>

#include "vision/DefaultFaceDetector.h"

namespace ovira::vision {

namespace {
template <class Result, class Call>
Result guarded(Call call) {
    try {
        return call();
    } catch (const std::exception& error) {
        std::printf("FaceDetection error: %s.\n", error.what());
        std::fflush(stdout);
    } catch (...) {
        std::printf("FaceDetection error.\n");
        std::fflush(stdout);
    }
    return {};
}
}  // namespace

EKYCFaceDetector* EKYCGuardedFaceDetector::detector() {
    if (!detector_) detector_ = makeDefaultFaceDetector();
    return detector_.get();
}

std::vector<capture::Rect> EKYCGuardedFaceDetector::detectFaces(const RasterImage& frame) {
    return guarded<std::vector<capture::Rect>>([&] {
        auto* inner = detector();
        return inner ? inner->detectFaces(frame) : std::vector<capture::Rect>{};
    });
}

std::vector<EKYCDetectedFace> EKYCGuardedFaceDetector::detectFacesWithKeypoints(const RasterImage& frame) {
    return guarded<std::vector<EKYCDetectedFace>>([&] {
        auto* inner = detector();
        return inner ? inner->detectFacesWithKeypoints(frame) : std::vector<EKYCDetectedFace>{};
    });
}

}  // namespace ovira::vision

#include "vision/DefaultFaceDetector.h"

#include "vision/EKYCBlazeFaceDetector.h"
#include "vision/EKYCHaarFaceDetector.h"

namespace ovira::vision {

std::unique_ptr<EKYCFaceDetector> makeDefaultFaceDetector() {
    if (auto blazeFace = EKYCBlazeFaceDetector::embedded()) return blazeFace;
    return std::make_unique<EKYCHaarFaceDetector>();
}

}  // namespace ovira::vision

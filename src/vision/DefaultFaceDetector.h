#pragma once

#include <memory>

#include "capture/EKYCFaceDetector.h"

namespace ovira::vision {

// The library's face detector: BlazeFace when the model is embedded and
// loads, OpenCV's Haar cascade otherwise.
std::unique_ptr<EKYCFaceDetector> makeDefaultFaceDetector();

}  // namespace ovira::vision

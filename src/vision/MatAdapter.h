#pragma once

#include <opencv2/core.hpp>

#include "platform/RasterImage.h"

namespace ovira::vision {

// The image's pixels as a grey OpenCV matrix (converted from colour when needed).
cv::Mat grayMat(const RasterImage& image);

// An OpenCV picture (grey, BGR or BGRA) as an image the core can encode.
RasterImage rasterFromMat(const cv::Mat& picture);

}  // namespace ovira::vision

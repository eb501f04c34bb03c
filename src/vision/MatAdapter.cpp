#include "vision/MatAdapter.h"

#include <opencv2/imgproc.hpp>

namespace ovira::vision {

cv::Mat grayMat(const RasterImage& image) {
    if (image.isEmpty()) return {};
    // The matrix only borrows the pixels for the conversion.
    auto* data = const_cast<std::uint8_t*>(image.pixels().data());
    switch (image.format()) {
        case RasterImage::Format::gray:
            return cv::Mat(image.height(), image.width(), CV_8UC1, data).clone();
        case RasterImage::Format::rgb: {
            cv::Mat gray;
            cv::cvtColor(cv::Mat(image.height(), image.width(), CV_8UC3, data), gray, cv::COLOR_RGB2GRAY);
            return gray;
        }
        case RasterImage::Format::rgba: {
            cv::Mat gray;
            cv::cvtColor(cv::Mat(image.height(), image.width(), CV_8UC4, data), gray, cv::COLOR_RGBA2GRAY);
            return gray;
        }
    }
    return {};
}

RasterImage rasterFromMat(const cv::Mat& picture) {
    if (picture.empty() || picture.depth() != CV_8U) return RasterImage(0, 0, RasterImage::Format::rgb, {});
    cv::Mat converted;
    RasterImage::Format format = RasterImage::Format::rgb;
    switch (picture.channels()) {
        case 1:
            converted = picture, format = RasterImage::Format::gray;
            break;
        case 3:
            cv::cvtColor(picture, converted, cv::COLOR_BGR2RGB);
            break;
        case 4:
            cv::cvtColor(picture, converted, cv::COLOR_BGRA2RGBA), format = RasterImage::Format::rgba;
            break;
        default:
            return RasterImage(0, 0, RasterImage::Format::rgb, {});
    }
    if (!converted.isContinuous()) converted = converted.clone();
    return RasterImage(converted.cols, converted.rows, format,
                       std::vector<std::uint8_t>(converted.datastart, converted.dataend));
}

}  // namespace ovira::vision

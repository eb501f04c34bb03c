#pragma once

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <set>
#include <string>

#include "DevServerTestSupport.h"
#include "platform/RasterImage.h"

namespace ovira::test {

// An RGB image of a BGR OpenCV picture.
inline std::shared_ptr<RasterImage> rasterOf(const cv::Mat& bgr) {
    cv::Mat rgb;
    cv::cvtColor(bgr, rgb, cv::COLOR_BGR2RGB);
    return std::make_shared<RasterImage>(rgb.cols, rgb.rows, RasterImage::Format::rgb,
                                         std::vector<std::uint8_t>(rgb.datastart, rgb.dataend));
}

inline std::shared_ptr<RasterImage> testPhoto(const std::string& name) {
    return rasterOf(devserver::test::decodeImage(devserver::test::testImage(name)));
}

inline cv::Mat decode(const Data& bytes, int flags = cv::IMREAD_UNCHANGED) {
    return cv::imdecode(
        cv::Mat(1, static_cast<int>(bytes.size()), CV_8U, const_cast<std::uint8_t*>(bytes.data())), flags);
}

inline std::set<std::string> fileNamesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.insert(it->path().filename().string());
    return names;
}

}  // namespace ovira::test

#include "vision/PhotoCropper.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace ovira::vision {

namespace {

int channelsOf(PixelOrder order) {
    switch (order) {
        case PixelOrder::gray:
            return 1;
        case PixelOrder::rgb:
        case PixelOrder::bgr:
            return 3;
        case PixelOrder::rgba:
        case PixelOrder::bgra:
            return 4;
    }
    return 0;
}

RasterImage empty() {
    return RasterImage(0, 0, RasterImage::Format::rgb, {});
}

}  // namespace

capture::Rect wholePixels(const capture::Rect& crop, int pictureWidth, int pictureHeight) {
    const auto edge = [](double value, int limit) {
        return std::isfinite(value) ? static_cast<int>(std::clamp<long>(std::lround(value), 0, limit)) : 0;
    };
    const int left = edge(crop.x, pictureWidth), top = edge(crop.y, pictureHeight);
    const int right = edge(crop.right(), pictureWidth), bottom = edge(crop.bottom(), pictureHeight);
    if (right <= left || bottom <= top) return {};
    return {double(left), double(top), double(right - left), double(bottom - top)};
}

RasterImage cropAndScale(const PixelBuffer& picture, const capture::Rect& crop, int width, int height,
                         int quarterTurns) {
    const int channels = channelsOf(picture.order);
    if (!picture.data || picture.width <= 0 || picture.height <= 0 || width <= 0 || height <= 0 ||
        picture.bytesPerLine < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(channels))
        return empty();
    const capture::Rect area = wholePixels(crop, picture.width, picture.height);
    if (area.isEmpty()) return empty();
    const int turns = ((quarterTurns % 4) + 4) % 4;
    const int finalWidth = width, finalHeight = height;
    // Scaled in the picture's own orientation, turned once small.
    if (turns % 2) std::swap(width, height);

    // The matrix only borrows the pixels; the crop is a view into them.
    const cv::Mat whole(picture.height, picture.width, CV_MAKETYPE(CV_8U, channels),
                        const_cast<std::uint8_t*>(picture.data), picture.bytesPerLine);
    cv::Mat scaled = whole(cv::Rect(int(area.x), int(area.y), int(area.width), int(area.height)));
    // Halving first, while the result stays at least as large as asked:
    // OpenCV averages 2 x 2 blocks with vector code, many times faster than
    // area averaging at an arbitrary ratio, which then has a small picture
    // left to do. (An odd last row or column is dropped at each halving.)
    while (scaled.cols / 2 >= width && scaled.rows / 2 >= height) {
        cv::Mat half;
        cv::resize(scaled(cv::Rect(0, 0, scaled.cols / 2 * 2, scaled.rows / 2 * 2)), half,
                   cv::Size(scaled.cols / 2, scaled.rows / 2), 0, 0, cv::INTER_AREA);
        scaled = half;
    }
    if (scaled.cols != width || scaled.rows != height) {
        cv::Mat exact;
        cv::resize(scaled, exact, cv::Size(width, height), 0, 0, cv::INTER_AREA);
        scaled = exact;
    }
    if (turns) {
        cv::Mat upright;
        cv::rotate(scaled, upright,
                   turns == 1   ? cv::ROTATE_90_CLOCKWISE
                   : turns == 2 ? cv::ROTATE_180
                                : cv::ROTATE_90_COUNTERCLOCKWISE);
        scaled = upright;
    }
    width = finalWidth;
    height = finalHeight;

    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    cv::Mat rgb(height, width, CV_8UC3, pixels.data());
    switch (picture.order) {
        case PixelOrder::gray:
            cv::cvtColor(scaled, rgb, cv::COLOR_GRAY2RGB);
            break;
        case PixelOrder::rgb:
            scaled.copyTo(rgb);
            break;
        case PixelOrder::bgr:
            cv::cvtColor(scaled, rgb, cv::COLOR_BGR2RGB);
            break;
        case PixelOrder::rgba:
            cv::cvtColor(scaled, rgb, cv::COLOR_RGBA2RGB);
            break;
        case PixelOrder::bgra:
            cv::cvtColor(scaled, rgb, cv::COLOR_BGRA2RGB);
            break;
    }
    return RasterImage(width, height, RasterImage::Format::rgb, std::move(pixels));
}

}  // namespace ovira::vision

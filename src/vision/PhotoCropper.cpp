#include "vision/PhotoCropper.h"

#include <opencv2/imgproc.hpp>
#include <sys/mman.h>

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

// `count` pixels of `order` at the start of `pixels` made RGB where they
// lie; the buffer holds at least 3 bytes a pixel. Serial on purpose: the
// rows overlap as they move.
void toRGBInPlace(std::uint8_t* pixels, std::size_t count, PixelOrder order) {
    switch (order) {
        case PixelOrder::gray:
            for (std::size_t i = count; i-- > 0;) pixels[3 * i] = pixels[3 * i + 1] = pixels[3 * i + 2] = pixels[i];
            break;
        case PixelOrder::rgb:
            break;
        case PixelOrder::bgr:
            for (std::size_t i = 0; i < count; ++i) std::swap(pixels[3 * i], pixels[3 * i + 2]);
            break;
        case PixelOrder::rgba:
        case PixelOrder::bgra: {
            const std::size_t red = order == PixelOrder::rgba ? 0 : 2;
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint8_t r = pixels[4 * i + red], g = pixels[4 * i + 1], b = pixels[4 * i + 2 - red];
                pixels[3 * i] = r;
                pixels[3 * i + 1] = g;
                pixels[3 * i + 2] = b;
            }
            break;
        }
    }
}

// A photograph's buffer of `size` bytes, zeroed. A fresh buffer of many
// megabytes costs a page fault for every 4 KB touched, which on some
// machines takes longer than scaling the picture into it; where the system
// offers huge pages on request, the buffer's pages come 2 MB at a time.
std::vector<std::uint8_t> photographBuffer(std::size_t size) {
    std::vector<std::uint8_t> buffer;
    buffer.reserve(size);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t first = (start + huge - 1) & ~(huge - 1);
    const std::uintptr_t last = (start + size) & ~(huge - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
    buffer.resize(size);
    return buffer;
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
    // The last step writes straight into the photograph's own buffer, which
    // is then made RGB in place: a large photograph's memory is touched
    // once, not once for the picture and again for its conversion.
    const std::size_t count = static_cast<std::size_t>(finalWidth) * static_cast<std::size_t>(finalHeight);
    std::vector<std::uint8_t> pixels = photographBuffer(count * static_cast<std::size_t>(std::max(3, channels)));
    cv::Mat out(finalHeight, finalWidth, CV_MAKETYPE(CV_8U, channels), pixels.data());
    const bool resize = scaled.cols != width || scaled.rows != height;
    if (resize && !turns) {
        cv::resize(scaled, out, cv::Size(width, height), 0, 0, cv::INTER_AREA);
    } else {
        if (resize) {
            cv::Mat exact;
            cv::resize(scaled, exact, cv::Size(width, height), 0, 0, cv::INTER_AREA);
            scaled = exact;
        }
        if (turns)
            cv::rotate(scaled, out,
                       turns == 1   ? cv::ROTATE_90_CLOCKWISE
                       : turns == 2 ? cv::ROTATE_180
                                    : cv::ROTATE_90_COUNTERCLOCKWISE);
        else
            scaled.copyTo(out);
    }
    // OpenCV writes into a destination of the right size and type as it is.
    if (out.data != pixels.data()) return empty();
    toRGBInPlace(pixels.data(), count, picture.order);
    pixels.resize(count * 3);
    width = finalWidth;
    height = finalHeight;
    return RasterImage(width, height, RasterImage::Format::rgb, std::move(pixels));
}

}  // namespace ovira::vision

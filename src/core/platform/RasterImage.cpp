#include "platform/RasterImage.h"

#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>

namespace ovira {

namespace {

// JPEG cannot describe more than 65535 pixels a side.
constexpr int kMaxJPEGSide = 65535;

}  // namespace

int RasterImage::channels(Format format) {
    switch (format) {
        case Format::gray:
            return 1;
        case Format::rgb:
            return 3;
        case Format::rgba:
            return 4;
    }
    return 0;
}

RasterImage::RasterImage(int width, int height, Format format, std::vector<std::uint8_t> pixels)
    : format_(format) {
    if (width <= 0 || height <= 0) return;
    const auto expected = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) *
                          static_cast<unsigned long long>(channels(format));
    if (pixels.size() != expected) return;
    width_ = width;
    height_ = height;
    pixels_ = std::move(pixels);
}

std::optional<Data> RasterImage::jpegData(double quality) const {
    if (isEmpty() || width_ > kMaxJPEGSide || height_ > kMaxJPEGSide) return std::nullopt;
    if (std::isnan(quality)) quality = 1.0;
    const int jpegQuality = std::clamp(static_cast<int>(std::lround(quality * 100.0)), 1, 100);
    // Full colour resolution at the top qualities, where detail is the point.
    const int subsampling =
        format_ == Format::gray ? TJSAMP_GRAY : (jpegQuality >= 90 ? TJSAMP_444 : TJSAMP_420);
    const int pixelFormat =
        format_ == Format::gray ? TJPF_GRAY : (format_ == Format::rgb ? TJPF_RGB : TJPF_RGBA);

    tjhandle handle = tjInitCompress();
    if (!handle) return std::nullopt;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const int status = tjCompress2(handle, pixels_.data(), width_, 0, height_, pixelFormat, &buffer, &size,
                                   subsampling, jpegQuality, TJFLAG_ACCURATEDCT);
    std::optional<Data> result;
    if (status == 0 && buffer && size > 0) result = Data(buffer, buffer + size);
    tjFree(buffer);
    tjDestroy(handle);
    return result;
}

std::optional<Data> RasterImage::pngData() const {
    if (isEmpty()) return std::nullopt;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = format_ == Format::gray ? PNG_FORMAT_GRAY
                                           : (format_ == Format::rgb ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA);
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels_.data(), 0, nullptr) || size == 0) {
        png_image_free(&image);
        return std::nullopt;
    }
    Data bytes(size);
    const bool written =
        png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels_.data(), 0, nullptr);
    png_image_free(&image);
    if (!written) return std::nullopt;
    bytes.resize(size);
    return bytes;
}

}  // namespace ovira

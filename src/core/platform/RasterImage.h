#pragma once

#include <cstdint>
#include <vector>

#include "platform/Image.h"

namespace ovira {

// An image held as 8-bit pixels in rows, top row first, without padding.
// Encodes with libjpeg-turbo and libpng.
class RasterImage final : public Image {
public:
    enum class Format { gray, rgb, rgba };

    // `pixels` must hold width * height * channels bytes; anything else (or a
    // negative size) makes an empty image rather than a read past the end.
    RasterImage(int width, int height, Format format, std::vector<std::uint8_t> pixels);

    static int channels(Format format);

    int width() const override { return width_; }
    int height() const override { return height_; }
    Format format() const { return format_; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

    std::optional<Data> jpegData(double quality) const override;
    std::optional<Data> pngData() const override;

private:
    int width_ = 0;
    int height_ = 0;
    Format format_;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace ovira

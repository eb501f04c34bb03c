// Photographs encode themselves: PNG without loss, JPEG close to the
// original and smaller at lower quality, nothing for what cannot be encoded.
#include <gtest/gtest.h>

#include "CaptureTestSupport.h"

namespace ovira {
namespace {

using Format = RasterImage::Format;

RasterImage gradient(int width, int height, Format format) {
    const int channels = RasterImage::channels(format);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * channels));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                pixels[static_cast<std::size_t>((y * width + x) * channels + c)] =
                    static_cast<std::uint8_t>((x * 255 / width + y * 97 / height + c * 60) & 0xff);
    return RasterImage(width, height, format, std::move(pixels));
}

TEST(RasterImage, PngRoundTripsEveryFormatExactly) {
    for (const Format format : {Format::gray, Format::rgb, Format::rgba}) {
        const auto image = gradient(37, 23, format);
        const auto png = image.pngData();
        ASSERT_TRUE(png);
        const cv::Mat decoded = test::decode(*png);
        ASSERT_EQ(decoded.cols, 37);
        ASSERT_EQ(decoded.rows, 23);
        ASSERT_EQ(decoded.channels(), RasterImage::channels(format));
        cv::Mat back = decoded;
        if (format == Format::rgb) cv::cvtColor(decoded, back, cv::COLOR_BGR2RGB);
        if (format == Format::rgba) cv::cvtColor(decoded, back, cv::COLOR_BGRA2RGBA);
        EXPECT_TRUE(std::equal(image.pixels().begin(), image.pixels().end(), back.datastart))
            << "channels " << RasterImage::channels(format);
    }
}

TEST(RasterImage, JpegKeepsThePictureAndShrinksWithQuality) {
    const auto photo = test::testPhoto("astronaut.png");
    const auto best = photo->jpegData(1.0);
    const auto rough = photo->jpegData(0.1);
    ASSERT_TRUE(best && rough);
    EXPECT_LT(rough->size() * 3, best->size());
    EXPECT_EQ(photo->jpegData(7.0), best) << "qualities above 1 are clamped";

    const cv::Mat decoded = test::decode(*best, cv::IMREAD_COLOR);
    ASSERT_EQ(decoded.size(), cv::Size(photo->width(), photo->height()));
    const cv::Mat original = devserver::test::decodeImage(devserver::test::testImage("astronaut.png"));
    EXPECT_LT(cv::norm(original, decoded, cv::NORM_L1) / static_cast<double>(original.total() * 3), 2.0);

    EXPECT_TRUE(gradient(8, 8, Format::rgba).jpegData(0.5)) << "alpha is dropped, not refused";
}

TEST(RasterImage, WhatCannotBeEncodedYieldsNothing) {
    const RasterImage empty(0, 0, Format::rgb, {});
    const RasterImage shortBuffer(10, 10, Format::rgb, std::vector<std::uint8_t>(299));
    const RasterImage negative(-4, 2, Format::gray, std::vector<std::uint8_t>(8));
    for (const RasterImage* image : {&empty, &shortBuffer, &negative}) {
        EXPECT_TRUE(image->isEmpty());
        EXPECT_FALSE(image->jpegData(1.0));
        EXPECT_FALSE(image->pngData());
    }
    const RasterImage tooWide(70000, 1, Format::gray, std::vector<std::uint8_t>(70000));
    EXPECT_FALSE(tooWide.jpegData(1.0)) << "beyond what JPEG can describe";
    EXPECT_TRUE(tooWide.pngData());
}

}  // namespace
}  // namespace ovira

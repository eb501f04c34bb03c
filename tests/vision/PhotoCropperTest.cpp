// Cropping and scaling a still into the photograph that is uploaded.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <limits>

#include "vision/PhotoCropper.h"

namespace ovira::vision {
namespace {

PixelBuffer bufferOf(const cv::Mat& picture, PixelOrder order) {
    return {picture.data, picture.cols, picture.rows, picture.step, order};
}

cv::Vec3b rgbAt(const RasterImage& photo, int x, int y) {
    const auto* pixel = photo.pixels().data() + (static_cast<std::size_t>(y) * photo.width() + x) * 3;
    return {pixel[0], pixel[1], pixel[2]};
}

TEST(PhotoCropper, EveryPixelOrderGivesTheSameRGB) {
    // Orange: red 250, green 120, blue 10.
    const struct {
        PixelOrder order;
        int type;
        cv::Scalar value;
    } cases[] = {
        {PixelOrder::rgb, CV_8UC3, {250, 120, 10}},       {PixelOrder::bgr, CV_8UC3, {10, 120, 250}},
        {PixelOrder::rgba, CV_8UC4, {250, 120, 10, 255}}, {PixelOrder::bgra, CV_8UC4, {10, 120, 250, 0}},
    };
    for (const auto& c : cases) {
        const cv::Mat picture(300, 400, c.type, c.value);
        const RasterImage photo = cropAndScale(bufferOf(picture, c.order), {10, 10, 300, 200}, 90, 60);
        ASSERT_EQ(photo.format(), RasterImage::Format::rgb);
        ASSERT_EQ(photo.width(), 90);
        ASSERT_EQ(photo.height(), 60);
        EXPECT_EQ(rgbAt(photo, 45, 30), cv::Vec3b(250, 120, 10)) << static_cast<int>(c.order);
    }
    const cv::Mat gray(50, 50, CV_8UC1, cv::Scalar(77));
    EXPECT_EQ(rgbAt(cropAndScale(bufferOf(gray, PixelOrder::gray), {0, 0, 50, 50}, 10, 10), 5, 5),
              cv::Vec3b(77, 77, 77));
}

TEST(PhotoCropper, KeepsOnlyTheCropAndAveragesItDownFaithfully) {
    // A 12-megapixel still: blue everywhere, the crop a left-to-right grey ramp.
    cv::Mat still(3024, 4032, CV_8UC4, cv::Scalar(255, 0, 0, 255));
    const cv::Rect crop(201, 769, 3629, 2289 - 801);
    for (int x = 0; x < crop.width; ++x)
        still(cv::Rect(crop.x + x, crop.y, 1, crop.height))
            .setTo(cv::Scalar::all(std::lround(255.0 * x / (crop.width - 1))));
    // A stride wider than the pixels, as video frames often have.
    cv::Mat padded(still.rows, still.cols + 16, CV_8UC4);
    still.copyTo(padded(cv::Rect(0, 0, still.cols, still.rows)));
    const PixelBuffer buffer{padded.data, still.cols, still.rows, padded.step, PixelOrder::bgra};

    const RasterImage photo = cropAndScale(buffer, {double(crop.x), double(crop.y), double(crop.width),
                                                    double(crop.height)}, 1053, 432);
    ASSERT_EQ(photo.width(), 1053);
    ASSERT_EQ(photo.height(), 432);
    for (int x = 0; x < photo.width(); x += 13) {
        const cv::Vec3b pixel = rgbAt(photo, x, photo.height() / 2);
        EXPECT_EQ(pixel[0], pixel[2]) << "no blue from outside the crop at column " << x;
        EXPECT_NEAR(pixel[0], 255.0 * (x + 0.5) / photo.width(), 3.0) << "the ramp at column " << x;
    }
    for (int y = 0; y < photo.height(); y += 7) {
        EXPECT_EQ(rgbAt(photo, 0, y)[2], rgbAt(photo, 0, y)[0]) << "row " << y;
        EXPECT_EQ(rgbAt(photo, photo.width() - 1, y)[2], rgbAt(photo, photo.width() - 1, y)[0]) << "row " << y;
    }
}

TEST(PhotoCropper, CropsAreClippedAndNothingLeftMakesNoPhotograph) {
    const cv::Mat picture(100, 100, CV_8UC3, cv::Scalar(1, 2, 3));
    const PixelBuffer buffer = bufferOf(picture, PixelOrder::rgb);
    EXPECT_EQ(cropAndScale(buffer, {-50, -50, 100, 100}, 10, 10).width(), 10) << "the part inside is kept";

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        PixelBuffer buffer;
        capture::Rect crop;
        int width, height;
    } empties[] = {
        {"crop outside", buffer, {200, 0, 50, 50}, 10, 10},
        {"crop not a number", buffer, {nan, 0, 50, 50}, 10, 10},
        {"no output size", buffer, {0, 0, 50, 50}, 0, 10},
        {"no pixels", {nullptr, 100, 100, 300, PixelOrder::rgb}, {0, 0, 50, 50}, 10, 10},
        {"rows shorter than the pixels", {picture.data, 100, 100, 200, PixelOrder::rgb}, {0, 0, 50, 50}, 10, 10},
    };
    for (const auto& c : empties)
        EXPECT_TRUE(cropAndScale(c.buffer, c.crop, c.width, c.height).isEmpty()) << c.name;
}

// A still that arrives turned is cropped where it lies and turned upright,
// in every pixel order: a 60 x 40 picture whose top-left quarter is bright
// (the rest dark) keeps that quarter top-left once turned back.
TEST(PhotoCropper, TurnedStillsComeOutUprightInEveryPixelOrder) {
    // The upright scene: 40 wide, 60 tall, bright in its top-left 20 x 30.
    cv::Mat upright(60, 40, CV_8UC1, cv::Scalar(20));
    upright(cv::Rect(0, 0, 20, 30)).setTo(cv::Scalar(230));
    const struct {
        PixelOrder order;
        int code;  // from grey to the order; -1: stays grey
    } orders[] = {{PixelOrder::gray, -1},
                  {PixelOrder::rgb, cv::COLOR_GRAY2RGB},
                  {PixelOrder::bgr, cv::COLOR_GRAY2BGR},
                  {PixelOrder::rgba, cv::COLOR_GRAY2RGBA},
                  {PixelOrder::bgra, cv::COLOR_GRAY2BGRA}};
    for (const int turns : {0, 1, 2, 3}) {
        // As the sensor gives it: turned back by `turns` clockwise quarter turns.
        cv::Mat arrived = upright.clone();
        for (int i = 0; i < turns; ++i) cv::rotate(arrived, arrived, cv::ROTATE_90_COUNTERCLOCKWISE);
        for (const auto& o : orders) {
            SCOPED_TRACE(testing::Message() << "turns " << turns << ", order " << static_cast<int>(o.order));
            cv::Mat picture = arrived;
            if (o.code >= 0) cv::cvtColor(arrived, picture, o.code);
            const RasterImage photo = cropAndScale(bufferOf(picture, o.order),
                                                   {0, 0, double(picture.cols), double(picture.rows)}, 20, 30, turns);
            ASSERT_EQ(photo.width(), 20);
            ASSERT_EQ(photo.height(), 30);
            EXPECT_EQ(rgbAt(photo, 2, 2), cv::Vec3b(230, 230, 230)) << "the bright quarter top-left";
            EXPECT_EQ(rgbAt(photo, 17, 27), cv::Vec3b(20, 20, 20));
            EXPECT_EQ(rgbAt(photo, 17, 2), cv::Vec3b(20, 20, 20));
            EXPECT_EQ(rgbAt(photo, 2, 27), cv::Vec3b(20, 20, 20));
        }
    }
}

}  // namespace
}  // namespace ovira::vision

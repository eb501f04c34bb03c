// Decoding a video file frame by frame for the file camera.
#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <optional>
#include <string>
#include <vector>

#include "support/TemporaryDirectory.h"
#include "vision/EKYCVideoFileReader.h"

namespace ovira::vision {
namespace {

// The grey level of the frame's centre pixel, or nothing without a frame.
std::optional<int> nextLevel(EKYCVideoFileReader& reader) {
    const auto frame = reader.next();
    if (!frame) return std::nullopt;
    EXPECT_EQ(frame->format(), RasterImage::Format::rgb);
    const int channels = RasterImage::channels(frame->format());
    const auto at = (static_cast<std::size_t>(frame->height() / 2) * frame->width() + frame->width() / 2) * channels;
    return frame->pixels()[at];
}

TEST(VideoFileReader, PlaysTheFramesOfAClipAtItsRateAndStartsOver) {
    test::TemporaryDirectory folder;
    const auto clip = (folder / "clip.avi").string();
    {
        cv::VideoWriter writer(clip, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 12, cv::Size(64, 48));
        ASSERT_TRUE(writer.isOpened());
        for (int level : {30, 130, 230}) writer.write(cv::Mat(48, 64, CV_8UC3, cv::Scalar(level, level, level)));
    }

    EKYCVideoFileReader reader(clip);
    ASSERT_TRUE(reader.isOpen());
    EXPECT_DOUBLE_EQ(reader.framesPerSecond(), 12);
    std::vector<int> levels;
    for (int i = 0; i < 5; ++i) {
        const auto level = nextLevel(reader);
        ASSERT_TRUE(level) << "frame " << i;
        levels.push_back(*level);
    }
    const int expected[] = {30, 130, 230, 30, 130};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(levels[i], expected[i], 6) << "frame " << i;
}

// Paths that are no video file open nothing. Only the decoders of files are
// asked for them: OpenCV left to choose would go on to its camera backends
// and look for a USB camera by that name (which, among other things, leaks
// inside libgphoto2, and fails this test under LeakSanitizer).
TEST(VideoFileReader, WhatIsNoVideoFileOpensNothing) {
    test::TemporaryDirectory folder;
    const std::string paths[] = {
        (folder / "missing.mp4").string(),
        folder.write("notes.avi", "not a video, whatever its name says").string(),
        folder.path().string(),
        "videotestsrc ! videoconvert ! appsink",
    };
    for (const auto& path : paths) {
        EKYCVideoFileReader reader(path);
        EXPECT_FALSE(reader.isOpen()) << path;
        EXPECT_EQ(reader.framesPerSecond(), 0) << path;
        EXPECT_FALSE(reader.next()) << path;
    }
}

}  // namespace
}  // namespace ovira::vision

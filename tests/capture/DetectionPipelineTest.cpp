// Live frames: one examined at a time, only the newest waiting, faces
// reported on the main thread, nothing after the pipeline is gone.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "capture/EKYCDetectionPipeline.h"
#include "support/MainLoop.h"

namespace ovira {
namespace {

using namespace std::chrono_literals;
using capture::Rect;

// Reports one face per frame at the frame's top-left pixel value, slowly.
struct SlowDetector : EKYCFaceDetector {
    std::atomic<int> examined{0};
    std::atomic<int> concurrent{0};
    std::atomic<int> maxConcurrent{0};
    std::vector<Rect> detectFaces(const RasterImage& frame) override {
        maxConcurrent = std::max(maxConcurrent.load(), ++concurrent);
        std::this_thread::sleep_for(20ms);
        --concurrent;
        ++examined;
        const int tag = frame.pixels()[0];
        if (tag == 0) return {};  // no face in this frame
        return {{static_cast<double>(tag), 0, 10, 10}, {static_cast<double>(tag), 50, 10, 10}};
    }
};

std::shared_ptr<const RasterImage> frame(std::uint8_t tag) {
    return std::make_shared<RasterImage>(4, 2, RasterImage::Format::gray, std::vector<std::uint8_t>(8, tag));
}

TEST(LatestOnlyQueue, KeepsOnlyTheNewestWaitingTaskAndRunsOneAtATime) {
    LatestOnlyQueue queue("ai.qorix.OVIRA.detection");
    std::vector<int> ran;  // touched by the worker only, read after it is idle
    std::atomic<bool> started{false}, release{false};
    queue.submit([&] {
        started = true;
        while (!release) std::this_thread::yield();
        ran.push_back(0);
    });
    while (!started) std::this_thread::yield();
    int dropped = 0;
    for (int i = 1; i <= 5; ++i) dropped += queue.submit([&ran, i] { ran.push_back(i); });
    release = true;
    queue.waitUntilIdle();
    EXPECT_EQ(ran, (std::vector{0, 5}));
    EXPECT_EQ(dropped, 4);
    EXPECT_EQ(queue.droppedCount(), 4u);
    EXPECT_EQ(queue.completedCount(), 2u);
}

// Every face of the newest frames reaches the main thread, and nothing once
// the pipeline is gone, even a report already queued for the main thread.
TEST(DetectionPipeline, ReportsEveryFaceOfTheNewestFramesOnTheMainThreadWhileItLives) {
    test::MainLoop mainLoop;
    auto detector = std::make_shared<SlowDetector>();
    std::vector<double> reported;
    capture::Size lastSize;
    const auto mainThread = std::this_thread::get_id();
    bool onMain = true;
    {
        EKYCDetectionPipeline pipeline(detector, [&](const std::vector<EKYCDetectedFace>& faces, capture::Size size) {
            onMain = onMain && std::this_thread::get_id() == mainThread;
            for (const auto& face : faces) reported.push_back(face.box.x + face.box.y);
            lastSize = size;
        });
        // 30 frames a second for half a second into a detector that needs 20 ms.
        for (int i = 1; i <= 15; ++i) {
            pipeline.submit(frame(static_cast<std::uint8_t>(i)));
            std::this_thread::sleep_for(33ms);
        }
        pipeline.submit(frame(0));  // no face: a report without faces
        pipeline.waitUntilIdle();
        mainLoop.runUntil([&] { return reported.size() >= 2 && reported[reported.size() - 2] == 15; }, 2s);
        EXPECT_LE(detector->maxConcurrent.load(), 1);

        const int examined = detector->examined;
        pipeline.submit(frame(7));
        pipeline.waitUntilIdle();
        EXPECT_EQ(detector->examined, examined + 1);
    }  // the last report is queued for the main thread but the pipeline has gone
    mainLoop.runUntil([] { return false; }, 100ms);
    ASSERT_GE(reported.size(), 2u);
    EXPECT_EQ(reported[reported.size() - 2], 15) << "the newest frame's faces, first face first";
    EXPECT_EQ(reported.back(), 65);
    EXPECT_EQ(reported.size() % 2, 0u) << "each frame reports all its faces";
    EXPECT_EQ(lastSize, (capture::Size{4, 2}));
    EXPECT_TRUE(onMain);
}

// Frames made on the detection thread: one replaced while it waits is never
// made, and faces found in a reduced frame come back in the camera's pixels.
TEST(DetectionPipeline, FramesMadeWhenTheirTurnComesReportInTheCamerasPixels) {
    test::MainLoop mainLoop;
    auto detector = std::make_shared<SlowDetector>();
    std::vector<Rect> reported;
    capture::Size reportedSize;
    std::atomic<int> made{0};
    EKYCDetectionPipeline pipeline(detector, [&](const std::vector<EKYCDetectedFace>& faces, capture::Size size) {
        reported.clear();
        for (const auto& face : faces) reported.push_back(face.box);
        reportedSize = size;
    });
    const auto reduced = [&made](std::uint8_t tag) {
        return [&made, tag] {
            ++made;
            // A 12 x 6 camera frame brought down three times.
            return EKYCDetectionPipeline::Frame{frame(tag), 3, {12, 6}};
        };
    };
    pipeline.submit(reduced(5));
    for (std::uint8_t tag = 6; tag <= 9; ++tag) pipeline.submit(reduced(tag));
    pipeline.waitUntilIdle();
    EXPECT_LE(made.load(), 3) << "frames replaced while waiting are never made";
    EXPECT_EQ(made.load(), detector->examined.load());
    mainLoop.runUntil([&] { return !reported.empty() && reported[0].x == 27; }, 2s);
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0], (Rect{27, 0, 30, 30})) << "the newest frame's face, three times larger";
    EXPECT_EQ(reported[1], (Rect{27, 150, 30, 30}));
    EXPECT_EQ(reportedSize, (capture::Size{12, 6}));

    const int examined = detector->examined;
    pipeline.submit([] { return EKYCDetectionPipeline::Frame{}; });
    pipeline.waitUntilIdle();
    EXPECT_EQ(detector->examined, examined) << "a frame that could not be made is not examined";
}

}  // namespace
}  // namespace ovira

// The late-frame policy: 30 frames a second into a detector slowed to 50 ms.
// Never more than one frame may wait, and a verdict may lag its frame by at
// most one detection plus one frame interval (the slowest detection and the
// longest gap between frames as they really happened: sleeps overshoot).
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "BenchSupport.h"
#include "capture/EKYCDetectionPipeline.h"
#include "platform/MainQueue.h"

using namespace ovira;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kDetection = std::chrono::milliseconds(50);
constexpr auto kFrameInterval = std::chrono::microseconds(33333);
constexpr int kFrames = 150;  // five seconds of video

// Finds one face in every frame, slowly; the frame's number is its first
// pixel pair. Notes how long its slowest detection really took (a sleep
// overshoots a little), which is what the bound allows for.
struct SlowDetector : EKYCFaceDetector {
    std::atomic<double> longestMs{0};
    std::vector<capture::Rect> detectFaces(const RasterImage& frame) override {
        const auto start = Clock::now();
        std::this_thread::sleep_for(kDetection);
        longestMs = std::max(longestMs.load(), bench::millisecondsSince(start));
        const double number = frame.pixels()[0] * 256 + frame.pixels()[1];
        return {{number, 0, 1, 1}};
    }
};

// A main thread of our own.
class Loop {
public:
    Loop() : thread_([this] { run(); }) {
        MainQueue::setDispatcher([this](MainQueue::Task task) {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            wake_.notify_one();
        });
    }
    ~Loop() {
        MainQueue::setDispatcher({});
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        while (true) {
            wake_.wait(lock, [&] { return stop_ || !tasks_.empty(); });
            if (tasks_.empty()) return;
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<MainQueue::Task> tasks_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace

int main() {
    Loop loop;
    std::mutex mutex;
    std::map<int, Clock::time_point> submitted;
    std::vector<double> latencies;
    int reports = 0;
    std::size_t frames = 0, maxWaiting = 0;
    std::uint64_t droppedFrames = 0;
    double longestGapMs = 0;  // the camera is late too, now and then
    const auto detector = std::make_shared<SlowDetector>();
    {
        EKYCDetectionPipeline pipeline(
            detector, [&](const std::vector<EKYCDetectedFace>& faces, capture::Size) {
                std::lock_guard lock(mutex);
                ++reports;
                // The stream's last frame has no successor to take its place,
                // so it waits out the detection in progress: a camera that
                // stops, not the steady state the bound is about.
                if (faces.empty()) return;
                const int number = static_cast<int>(faces[0].box.x);
                if (number < kFrames - 1) latencies.push_back(bench::millisecondsSince(submitted[number]));
            });
        auto next = Clock::now();
        Clock::time_point previous{};
        for (int number = 0; number < kFrames; ++number) {
            std::vector<std::uint8_t> pixels(64 * 48, 0);
            pixels[0] = static_cast<std::uint8_t>(number / 256);
            pixels[1] = static_cast<std::uint8_t>(number % 256);
            {
                std::lock_guard lock(mutex);
                const auto now = Clock::now();
                if (number > 0)
                    longestGapMs = std::max(longestGapMs,
                                            std::chrono::duration<double, std::milli>(now - previous).count());
                submitted[number] = previous = now;
            }
            pipeline.submit(
                std::make_shared<RasterImage>(64, 48, RasterImage::Format::gray, std::move(pixels)));
            maxWaiting = std::max(maxWaiting, pipeline.queue().waitingCount());
            ++frames;
            next += kFrameInterval;
            std::this_thread::sleep_until(next);
        }
        pipeline.waitUntilIdle();
        droppedFrames = pipeline.queue().droppedCount();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const auto stats = bench::summarize(latencies);
    const double bound = detector->longestMs.load() + longestGapMs;
    bench::printHeader("Late frames: 30 frames/s into a 50 ms detector");
    bench::printRow("frames offered / examined", std::to_string(frames), std::to_string(reports), "", "");
    bench::printRow("frames waiting at most", std::to_string(maxWaiting), "", "", "<= 1");
    bench::printRow("verdict latency median", bench::format(stats.median, 1, " ms"), "", "", "");
    bench::printRow("verdict latency max", bench::format(stats.max, 1, " ms"), bench::format(bound, 1, " ms"),
                    bench::format(stats.max / bound), "<= 1.00 (slowest detection + longest frame gap)");
    bench::printRow("frames dropped while busy", std::to_string(droppedFrames), "", "", "");
    return 0;
}

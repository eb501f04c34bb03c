// The face check per 640 x 480 frame: colour conversion, detection and the
// circle test, BlazeFace against the Haar cascade on the same frames.
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <memory>

#include "BenchSupport.h"
#include "capture/EKYCCaptureGeometry.h"
#include "vision/EKYCBlazeFaceDetector.h"
#include "vision/EKYCHaarFaceDetector.h"

using namespace ovira;

namespace {

struct Frame {
    cv::Mat bgra;  // as a camera delivers it
    bool hasFace;
};

// The astronaut at several sizes and places, and frames without a face.
std::vector<Frame> makeFrames() {
    const cv::Mat astronaut = bench::testPicture("astronaut.png");
    std::vector<Frame> frames;
    // Faces as large as a phone held at arm's length shows them.
    for (const double scale : {1.0, 1.4, 1.8}) {
        cv::Mat scaled;
        cv::resize(astronaut, scaled, cv::Size(), scale, scale, cv::INTER_AREA);
        for (const int dx : {-120, 0, 120}) {
            for (const int dy : {-60, 0, 60}) {
                cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(70, 80, 90));
                const cv::Rect target((640 - scaled.cols) / 2 + dx, (480 - scaled.rows) / 2 + dy, scaled.cols,
                                      scaled.rows);
                const cv::Rect visible = target & cv::Rect(0, 0, 640, 480);
                scaled(cv::Rect(visible.x - target.x, visible.y - target.y, visible.width, visible.height))
                    .copyTo(frame(visible));
                frames.push_back({frame, true});
            }
        }
    }
    cv::Mat cat;
    cv::resize(bench::testPicture("chelsea.png"), cat, cv::Size(640, 480));
    frames.push_back({cat, false});
    cv::Mat noise(480, 640, CV_8UC3);
    cv::randu(noise, cv::Scalar::all(0), cv::Scalar::all(255));
    frames.push_back({noise, false});
    frames.push_back({cv::Mat(480, 640, CV_8UC3, cv::Scalar(30, 30, 30)), false});
    for (auto& frame : frames) cv::cvtColor(frame.bgra, frame.bgra, cv::COLOR_BGR2BGRA);
    return frames;
}

struct Result {
    bench::Stats stats;
    int faceFramesFound = 0;
    int falseFrames = 0;
};

Result measure(EKYCFaceDetector& detector, const std::vector<Frame>& frames, int rounds) {
    const capture::Size view{390, 844};
    std::vector<double> times;
    Result result;
    for (int round = 0; round < rounds + 1; ++round) {
        for (const auto& frame : frames) {
            const auto start = std::chrono::steady_clock::now();
            cv::Mat rgba;
            cv::cvtColor(frame.bgra, rgba, cv::COLOR_BGRA2RGBA);
            const RasterImage image(rgba.cols, rgba.rows, RasterImage::Format::rgba,
                                    std::vector<std::uint8_t>(rgba.datastart, rgba.dataend));
            const auto faces = detector.detectFaces(image);
            bool inside = false;
            for (const auto& face : faces)
                inside = capture::isFaceInside(
                    capture::frameToView(face, {view, {640, 480}, capture::VideoGravity::aspectFit, true}),
                    capture::faceSquare(view));
            const double elapsed = bench::millisecondsSince(start);
            (void)inside;
            if (round == 0) {  // the first round warms up and counts
                if (frame.hasFace && !faces.empty()) ++result.faceFramesFound;
                if (!frame.hasFace && !faces.empty()) ++result.falseFrames;
                continue;
            }
            times.push_back(elapsed);
        }
    }
    result.stats = bench::summarize(times);
    return result;
}

}  // namespace

int main() {
    const auto frames = makeFrames();
    const int faceFrames = static_cast<int>(
        std::count_if(frames.begin(), frames.end(), [](const Frame& f) { return f.hasFace; }));
    auto blazeFace = vision::EKYCBlazeFaceDetector::embedded();
    vision::EKYCHaarFaceDetector haar;
    if (!blazeFace || !haar.isLoaded()) {
        std::fprintf(stderr, "face check: a detector is missing (run scripts/fetch-models.sh)\n");
        return 1;
    }
    const Result ours = measure(*blazeFace, frames, 10);
    const Result baseline = measure(haar, frames, 10);

    bench::printHeader("Face check per 640 x 480 frame (" + std::to_string(frames.size()) +
                       " frames; BlazeFace vs Haar cascade)");
    bench::printTimingRows(ours.stats, baseline.stats, "<= 5 ms and <= 0.25");
    bench::printRow("face frames found (of " + std::to_string(faceFrames) + ")",
                    std::to_string(ours.faceFramesFound), std::to_string(baseline.faceFramesFound), "",
                    ">= baseline");
    bench::printRow("frames without a face reporting one", std::to_string(ours.falseFrames),
                    std::to_string(baseline.falseFrames), "", "");
    return 0;
}

// The face check on the road a real camera frame takes: a 1280 x 720 or
// 1920 x 1080 webcam frame (32-bit, as Qt Multimedia hands it over) made
// into the detector's input, BlazeFace, the faces mapped onto a 1280 x 800
// preview and tested against the circle. Against the same detector fed the
// whole frame converted to RGB, the way frames went before they were
// reduced first.
#include <QImage>
#include <opencv2/imgproc.hpp>

#include <cstdio>

#include "BenchSupport.h"
#include "capture/EKYCCameraDetectionService.h"
#include "platform/QImageAdapter.h"
#include "vision/EKYCBlazeFaceDetector.h"

using namespace ovira;

namespace {

// The astronaut at three sizes and three places in a frame of `size`, her
// face from a fifth to a third of the frame's height, as a person sits in
// front of a desktop's webcam.
std::vector<QImage> makeFrames(cv::Size size) {
    const cv::Mat astronaut = bench::testPicture("astronaut.png");
    std::vector<QImage> frames;
    for (const double share : {1.0, 1.3, 1.6}) {
        cv::Mat scaled;
        const double scale = share * size.height / astronaut.rows;
        cv::resize(astronaut, scaled, cv::Size(), scale, scale, cv::INTER_AREA);
        for (const int dx : {-size.width / 6, 0, size.width / 6}) {
            cv::Mat frame(size, CV_8UC3, cv::Scalar(70, 80, 90));
            const cv::Rect target((size.width - scaled.cols) / 2 + dx, (size.height - scaled.rows) / 2, scaled.cols,
                                  scaled.rows);
            const cv::Rect visible = target & cv::Rect(0, 0, size.width, size.height);
            scaled(cv::Rect(visible.x - target.x, visible.y - target.y, visible.width, visible.height))
                .copyTo(frame(visible));
            cv::Mat bgra;
            cv::cvtColor(frame, bgra, cv::COLOR_BGR2BGRA);
            frames.push_back(QImage(bgra.data, bgra.cols, bgra.rows, int(bgra.step), QImage::Format_RGB32).copy());
        }
    }
    return frames;
}

struct Result {
    bench::Stats stats;
    int found = 0;
};

template <class Convert>
Result measure(EKYCFaceDetector& detector, const std::vector<QImage>& frames, Convert convert) {
    const capture::Size view{1280, 800};
    std::vector<double> times;
    Result result;
    for (int round = 0; round < 11; ++round)
        for (const QImage& frame : frames) {
            const auto start = std::chrono::steady_clock::now();
            const EKYCDetectionPipeline::Frame input = convert(frame);
            const auto faces = detector.detectFaces(*input.image);
            const capture::PreviewMapping preview{view, input.frame, capture::VideoGravity::aspectFit, true};
            const capture::Rect circle = capture::faceSquare({view, {}, capture::videoRect(preview)});
            bool inside = false;
            for (const auto& face : faces) {
                const capture::Rect inFrame{face.x * input.scale, face.y * input.scale,
                                            face.width * input.scale, face.height * input.scale};
                inside = capture::isFaceInside(capture::frameToView(inFrame, preview), circle);
            }
            const double elapsed = bench::millisecondsSince(start);
            (void)inside;
            if (round == 0) {  // the first round warms up and counts
                result.found += faces.empty() ? 0 : 1;
                continue;
            }
            times.push_back(elapsed);
        }
    result.stats = bench::summarize(times);
    return result;
}

}  // namespace

int main() {
    auto blazeFace = vision::EKYCBlazeFaceDetector::embedded();
    if (!blazeFace) {
        std::fprintf(stderr, "face check: the face model is missing (run scripts/fetch-models.sh)\n");
        return 1;
    }
    const auto whole = [](const QImage& frame) {
        return EKYCDetectionPipeline::Frame{
            rasterFromQImage(frame), 1, {double(frame.width()), double(frame.height())}};
    };
    for (const cv::Size size : {cv::Size(1280, 720), cv::Size(1920, 1080)}) {
        const auto frames = makeFrames(size);
        const Result ours = measure(*blazeFace, frames, &EKYCCameraDetectionService::detectionFrameOf);
        const Result baseline = measure(*blazeFace, frames, whole);
        bench::printHeader("Face check per " + std::to_string(size.width) + " x " +
                           std::to_string(size.height) + " camera frame, conversion included (" +
                           std::to_string(frames.size()) +
                           " frames; reduced first vs whole frame converted)");
        bench::printTimingRows(ours.stats, baseline.stats, "<= 5 ms");
        bench::printRow("frames with the face found (of " + std::to_string(frames.size()) + ")",
                        std::to_string(ours.found), std::to_string(baseline.found), "", ">= baseline");
    }
    return 0;
}

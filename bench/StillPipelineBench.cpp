// The still pipeline as a capture screen runs it: the part under the window
// cut from the camera's still at the camera's own resolution (reduced only
// above the cap), JPEG at quality 1.0, written to the capture folder. For a
// 1280 x 800 desktop window with a 1920 x 1080 webcam (whose still is its
// frame), and with a 12-megapixel 4032 x 3024 still streaming 1280 x 720;
// against bare OpenCV (crop view, area resize when the size changes) plus a
// libjpeg-turbo encode of the same size and settings, written the same way.
#include <turbojpeg.h>

#include <QImage>
#include <opencv2/imgproc.hpp>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "BenchSupport.h"
#include "capture/EKYCCameraDetectionService.h"
#include "capture/EKYCFileService.h"
#include "vision/PhotoCropper.h"

using namespace ovira;

namespace {

constexpr int kRounds = 30;

// The photographed scene: the astronaut blown up to the still's size with
// sensor grain, as 32-bit pixels (what cameras hand over).
cv::Mat makeStill(cv::Size size) {
    cv::Mat still;
    cv::resize(bench::testPicture("astronaut.png"), still, size, 0, 0, cv::INTER_CUBIC);
    cv::Mat grain(still.size(), CV_8UC3);
    cv::randn(grain, cv::Scalar::all(0), cv::Scalar::all(6));
    still += grain;
    cv::cvtColor(still, still, cv::COLOR_BGR2BGRA);
    return still;
}

std::size_t baselineJPEG(const cv::Mat& bgra, const capture::Rect& crop, int width, int height,
                         const std::filesystem::path& file) {
    const cv::Rect area(int(crop.x), int(crop.y), int(crop.width), int(crop.height));
    cv::Mat scaled = bgra(area);
    if (scaled.cols != width || scaled.rows != height)
        cv::resize(bgra(area), scaled, cv::Size(width, height), 0, 0, cv::INTER_AREA);
    tjhandle handle = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, scaled.data, scaled.cols, static_cast<int>(scaled.step), scaled.rows, TJPF_BGRA,
                &buffer, &size, TJSAMP_444, 100, TJFLAG_ACCURATEDCT);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(buffer), std::streamsize(size));
    tjFree(buffer);
    tjDestroy(handle);
    std::filesystem::remove(file);
    return size;
}

struct Case {
    std::string name;
    cv::Size still;
    capture::Size stream;  // the live frames the preview shows
    bool card;
};

}  // namespace

int main() {
    const auto folder =
        std::filesystem::temp_directory_path() / ("ovira-bench-still-" + std::to_string(::getpid()));
    EKYCFileService files{FileManager(folder)};
    std::filesystem::create_directories(folder);
    // A 1280 x 800 window: the title and guide take the top 150 points, the shutter the bottom 112.
    const capture::Size window{1280, 800};
    const capture::Rect band{0, 150, 1280, 538};

    const Case cases[] = {{"1920 x 1080 webcam, card", {1920, 1080}, {1920, 1080}, true},
                          {"1920 x 1080 webcam, face", {1920, 1080}, {1920, 1080}, false},
                          {"4032 x 3024 still, card", {4032, 3024}, {1280, 720}, true},
                          {"4032 x 3024 still, face", {4032, 3024}, {1280, 720}, false}};
    bench::printHeader(
        "Still pipeline on a 1280 x 800 window (crop at the camera's pixels, JPEG 1.0, file; median of " +
        std::to_string(kRounds) + ")");
    for (const Case& c : cases) {
        const cv::Mat still = makeStill(c.still);
        const QImage image(still.data, still.cols, still.rows, static_cast<qsizetype>(still.step),
                           QImage::Format_RGB32);
        const capture::PreviewMapping preview{window, c.stream, capture::VideoGravity::aspectFit, !c.card};
        const capture::WindowLayout layout{window, band, capture::videoRect(preview)};
        const EKYCCameraDetectionService::CropSettings settings{
            c.card, preview, c.card ? capture::cardWindow(layout) : capture::faceSquare(layout)};
        const capture::Rect crop = vision::wholePixels(
            capture::stillRegion(settings.window, preview, {double(c.still.width), double(c.still.height)}),
            c.still.width, c.still.height);

        std::vector<double> ours, baseline;
        std::size_t ourBytes = 0, baselineBytes = 0;
        int width = 0, height = 0;
        for (int round = 0; round <= kRounds; ++round) {
            auto start = std::chrono::steady_clock::now();
            const ImagePtr photo = EKYCCameraDetectionService::cropImage(image, 0, settings);
            const auto path = photo ? files.saveImage(*photo, "front", true, 1.0) : std::nullopt;
            const double elapsed = bench::millisecondsSince(start);
            if (!path) {
                std::fprintf(stderr, "still pipeline: no photograph was written\n");
                return 1;
            }
            ourBytes = std::filesystem::file_size(*path);
            width = photo->width();
            height = photo->height();
            files.removeAllFiles();

            start = std::chrono::steady_clock::now();
            baselineBytes = baselineJPEG(still, crop, width, height, folder / "baseline.jpeg");
            const double bare = bench::millisecondsSince(start);
            if (round == 0) continue;  // warm-up
            ours.push_back(elapsed);
            baseline.push_back(bare);
        }
        const auto o = bench::summarize(ours), b = bench::summarize(baseline);
        bench::printRow(c.name + " -> " + std::to_string(width) + " x " + std::to_string(height),
                        bench::format(o.median, 1, " ms"), bench::format(b.median, 1, " ms"),
                        bench::format(o.median / b.median), "<= 1.2");
        bench::printRow("  JPEG size", bench::format(ourBytes / 1024.0, 0, " KB"),
                        bench::format(baselineBytes / 1024.0, 0, " KB"), "", "");
    }
    std::filesystem::remove_all(folder);
    return 0;
}

// The still pipeline for a 4032 x 3024 photograph: crop to the window,
// scale to the photograph's size, JPEG at quality 1.0 and written to the
// capture folder, exactly as a capture screen does it; against a bare
// OpenCV resize plus libjpeg-turbo encode of the same size and settings.
#include <turbojpeg.h>

#include <QImage>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "BenchSupport.h"
#include "capture/EKYCCameraDetectionService.h"
#include "capture/EKYCFileService.h"

using namespace ovira;

namespace {

constexpr int kRounds = 30;

struct Case {
    const char* name;
    EKYCCameraDetectionService::CropSettings settings;
};

// The photographed scene: the astronaut blown up to a 12-megapixel still
// with sensor grain, as 32-bit pixels (what cameras hand over).
cv::Mat makeStill() {
    cv::Mat still;
    cv::resize(bench::testPicture("astronaut.png"), still, cv::Size(4032, 3024), 0, 0, cv::INTER_CUBIC);
    cv::Mat grain(still.size(), CV_8UC3);
    cv::randn(grain, cv::Scalar::all(0), cv::Scalar::all(6));
    still += grain;
    cv::cvtColor(still, still, cv::COLOR_BGR2BGRA);
    return still;
}

std::size_t baselineJPEG(const cv::Mat& bgra, const capture::Rect& crop, int width, int height) {
    const cv::Rect area(static_cast<int>(std::lround(crop.x)), static_cast<int>(std::lround(crop.y)),
                        static_cast<int>(std::lround(crop.right()) - std::lround(crop.x)),
                        static_cast<int>(std::lround(crop.bottom()) - std::lround(crop.y)));
    cv::Mat scaled;
    cv::resize(bgra(area), scaled, cv::Size(width, height), 0, 0, cv::INTER_AREA);
    tjhandle handle = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, scaled.data, scaled.cols, static_cast<int>(scaled.step), scaled.rows, TJPF_BGRA, &buffer,
                &size, TJSAMP_444, 100, TJFLAG_ACCURATEDCT);
    tjFree(buffer);
    tjDestroy(handle);
    return size;
}

}  // namespace

int main() {
    const cv::Mat still = makeStill();
    const QImage image(still.data, still.cols, still.rows, static_cast<qsizetype>(still.step),
                       QImage::Format_RGB32);
    const auto folder = std::filesystem::temp_directory_path() / ("ovira-bench-still-" + std::to_string(::getpid()));
    EKYCFileService files{FileManager(folder)};
    const capture::Size phone{390, 844}, pixels{4032, 3024};

    const Case cases[] = {{"document (1053 x 664, 3x screen)", {true, phone, 3}},
                          {"face (720 x 720)", {false, phone, 1}}};
    bench::printHeader("Still pipeline for a 4032 x 3024 photograph (crop, scale, JPEG 1.0, file; median of " +
                       std::to_string(kRounds) + ")");
    for (const Case& c : cases) {
        std::vector<double> ours, baseline;
        std::size_t ourBytes = 0, baselineBytes = 0;
        for (int round = 0; round <= kRounds; ++round) {
            auto start = std::chrono::steady_clock::now();
            const ImagePtr photo = EKYCCameraDetectionService::cropImage(image, c.settings);
            const auto path = photo ? files.saveImage(*photo, "front", true, 1.0) : std::nullopt;
            const double elapsed = bench::millisecondsSince(start);
            if (!path) {
                std::fprintf(stderr, "still pipeline: no photograph was written\n");
                return 1;
            }
            ourBytes = std::filesystem::file_size(*path);
            files.removeAllFiles();

            const capture::Rect crop = c.settings.cardMode ? capture::cardCrop(pixels) : capture::faceCrop(pixels);
            start = std::chrono::steady_clock::now();
            baselineBytes = baselineJPEG(still, crop, photo->width(), photo->height());
            const double bare = bench::millisecondsSince(start);
            if (round == 0) continue;  // warm-up
            ours.push_back(elapsed);
            baseline.push_back(bare);
        }
        const auto o = bench::summarize(ours), b = bench::summarize(baseline);
        bench::printRow(c.name, bench::format(o.median, 1, " ms"), bench::format(b.median, 1, " ms"),
                        bench::format(o.median / b.median), "<= 1.2");
        bench::printRow("  JPEG size", bench::format(ourBytes / 1024.0, 0, " KB"),
                        bench::format(baselineBytes / 1024.0, 0, " KB"), "", "");
    }
    std::filesystem::remove_all(folder);
    return 0;
}

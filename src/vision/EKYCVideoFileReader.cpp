#include "vision/EKYCVideoFileReader.h"

#include <opencv2/videoio.hpp>

#include <filesystem>
#include <system_error>

#include "vision/MatAdapter.h"

namespace ovira::vision {

struct EKYCVideoFileReader::Decoder {
    cv::VideoCapture capture;
};

// Only the decoders of files, in OpenCV's own order. Left to choose, OpenCV
// would go on, for a path none of them reads, to its camera backends (and
// look for a USB camera of that name through libgphoto2), and GStreamer
// would take a string that is no file for a pipeline.
EKYCVideoFileReader::EKYCVideoFileReader(const std::string& path) : decoder_(std::make_unique<Decoder>()) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return;
    for (const int backend : {cv::CAP_FFMPEG, cv::CAP_GSTREAMER, cv::CAP_OPENCV_MJPEG}) {
        try {
            if (decoder_->capture.open(path, backend)) return;
        } catch (const cv::Exception&) {
            // A file this backend does not understand: the next one may.
        }
    }
}

EKYCVideoFileReader::~EKYCVideoFileReader() = default;

bool EKYCVideoFileReader::isOpen() const {
    return decoder_->capture.isOpened();
}

double EKYCVideoFileReader::framesPerSecond() const {
    if (!isOpen()) return 0;
    const double fps = decoder_->capture.get(cv::CAP_PROP_FPS);
    return fps > 0 && fps < 1000 ? fps : 0;
}

std::optional<RasterImage> EKYCVideoFileReader::next() {
    if (!isOpen()) return std::nullopt;
    cv::Mat frame;
    try {
        if (!decoder_->capture.read(frame) || frame.empty()) {
            // The end: loop, as a camera never runs out of frames.
            decoder_->capture.set(cv::CAP_PROP_POS_FRAMES, 0);
            if (!decoder_->capture.read(frame) || frame.empty()) return std::nullopt;
        }
    } catch (const cv::Exception&) {
        return std::nullopt;
    }
    RasterImage image = rasterFromMat(frame);
    if (image.isEmpty()) return std::nullopt;
    return image;
}

}  // namespace ovira::vision

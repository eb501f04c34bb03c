#include "vision/EKYCVideoFileReader.h"

#include <opencv2/videoio.hpp>

#include "vision/MatAdapter.h"

namespace ovira::vision {

struct EKYCVideoFileReader::Decoder {
    cv::VideoCapture capture;
};

EKYCVideoFileReader::EKYCVideoFileReader(const std::string& path) : decoder_(std::make_unique<Decoder>()) {
    try {
        decoder_->capture.open(path);
    } catch (const cv::Exception&) {
        // A file no backend understands is simply not a video.
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

#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/RasterImage.h"

namespace ovira::vision {

// Decodes a video file frame by frame (OpenCV's videoio), for the file
// camera. One thread at a time.
class EKYCVideoFileReader {
public:
    explicit EKYCVideoFileReader(const std::string& path);
    ~EKYCVideoFileReader();
    EKYCVideoFileReader(const EKYCVideoFileReader&) = delete;
    EKYCVideoFileReader& operator=(const EKYCVideoFileReader&) = delete;

    // False when the file could not be opened as a video.
    bool isOpen() const;
    // The file's frame rate; 0 when it does not say.
    double framesPerSecond() const;
    // The next frame (RGB), starting over after the last one; nothing when
    // the video yields no frame at all.
    std::optional<RasterImage> next();

private:
    struct Decoder;
    std::unique_ptr<Decoder> decoder_;
};

}  // namespace ovira::vision

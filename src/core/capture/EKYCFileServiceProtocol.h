#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/Image.h"

namespace ovira {

// Where photographs wait while they are uploaded.
class EKYCFileServiceProtocol {
public:
    virtual ~EKYCFileServiceProtocol() = default;

    // Stores the photograph as "<name>[_<seconds since 1970>].jpeg" (".png"
    // when it cannot be a JPEG) in the capture folder, after deleting the
    // files there whose names contain `name`. Nothing when it could not be stored.
    virtual std::optional<std::filesystem::path> saveImage(const Image& image, const std::string& name,
                                                           bool appendTimestamp,
                                                           double compressionQuality) = 0;
    // Deletes everything in the capture folder; failures are ignored.
    virtual void removeAllFiles() = 0;
};

}  // namespace ovira

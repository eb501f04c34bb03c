#pragma once

#include <chrono>
#include <functional>

#include "capture/EKYCFileServiceProtocol.h"
#include "platform/FileManager.h"

namespace ovira {

// The capture folder "KYC" in the application's documents folder: private
// (0700, files 0600), emptied after every upload, and emptied of whatever an
// earlier process left behind the first time a process uses it, so that no
// identity photograph outlives a crash. Thread-safe.
class EKYCFileService : public EKYCFileServiceProtocol {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    explicit EKYCFileService(FileManager fileManager = FileManager(),
                             Clock clock = std::chrono::system_clock::now);

    std::optional<std::filesystem::path> saveImage(const Image& image, const std::string& name,
                                                   bool appendTimestamp, double compressionQuality) override;
    void removeAllFiles() override;
    // Empties the folder of what an earlier process left, if this process
    // has not used it yet (later calls do nothing). OVIRA::config() calls it,
    // so that a photograph left by a crash is gone at the next start, whether
    // or not anything is photographed then.
    void removeLeftovers();

    std::filesystem::path captureFolder() const;

    // "1765025812.5", "1765025812.0": the shortest text that reads back as
    // the same double, always with a fractional part.
    static std::string timestampText(std::chrono::system_clock::time_point time);

private:
    void sweepLeftoversOnce(const std::filesystem::path& folder) const;
    void removeContents(const std::filesystem::path& folder) const;

    FileManager fileManager_;
    Clock clock_;
};

}  // namespace ovira

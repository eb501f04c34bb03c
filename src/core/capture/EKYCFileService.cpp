#include "capture/EKYCFileService.h"

#include <charconv>
#include <mutex>
#include <set>

namespace ovira {

namespace fs = std::filesystem;

EKYCFileService::EKYCFileService(FileManager manager, Clock clock)
    : fileManager_(std::move(manager)), clock_(std::move(clock)) {}

fs::path EKYCFileService::captureFolder() const {
    return fileManager_.documentsDirectory() / "KYC";
}

std::string EKYCFileService::timestampText(std::chrono::system_clock::time_point time) {
    // Whole seconds and the fraction apart, so that neither loses digits to the other.
    const auto sinceEpoch = time.time_since_epoch();
    const auto whole = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
    const double seconds =
        static_cast<double>(whole.count()) + std::chrono::duration<double>(sinceEpoch - whole).count();
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed);
    std::string text(buffer, result.ptr);
    if (text.find('.') == std::string::npos) text += ".0";
    return text;
}

void EKYCFileService::sweepLeftoversOnce(const fs::path& folder) const {
    static std::mutex mutex;
    static std::set<fs::path> swept;
    std::lock_guard lock(mutex);
    if (!swept.insert(folder).second) return;
    removeContents(folder);
}

void EKYCFileService::removeContents(const fs::path& folder) const {
    const auto items = fileManager_.contentsOfDirectory(folder);
    if (!items) return;
    for (const auto& item : *items) fileManager_.removeItem(item);
}

std::optional<fs::path> EKYCFileService::saveImage(const Image& image, const std::string& name,
                                                   bool appendTimestamp, double compressionQuality) {
    // The name becomes part of one file name: it may not lead anywhere else.
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos) return std::nullopt;

    std::string extension = "jpeg";
    auto bytes = image.jpegData(compressionQuality);
    if (!bytes || bytes->empty()) {
        extension = "png";
        bytes = image.pngData();
        if (!bytes || bytes->empty()) return std::nullopt;
    }

    const fs::path folder = captureFolder();
    sweepLeftoversOnce(folder);
    if (!fileManager_.isDirectory(folder)) {
        // A file or a link in the folder's place is not ours to write through.
        if (fileManager_.fileExists(folder) || !fileManager_.createDirectory(folder)) return std::nullopt;
    } else if (!fileManager_.createDirectory(folder)) {
        return std::nullopt;  // could not make an existing folder private again
    }

    if (const auto items = fileManager_.contentsOfDirectory(folder)) {
        for (const auto& item : *items) {
            if (item.filename().string().find(name) != std::string::npos) fileManager_.removeItem(item);
        }
    }

    std::string fileName = name;
    if (appendTimestamp) fileName += "_" + timestampText(clock_());
    fileName += "." + extension;
    const fs::path file = folder / fileName;
    if (!fileManager_.createFile(file, *bytes)) return std::nullopt;
    return file;
}

void EKYCFileService::removeLeftovers() {
    sweepLeftoversOnce(captureFolder());
}

void EKYCFileService::removeAllFiles() {
    const fs::path folder = captureFolder();
    sweepLeftoversOnce(folder);
    removeContents(folder);
}

}  // namespace ovira

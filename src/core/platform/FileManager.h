#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "ovira/Data.h"

namespace ovira {

// The file operations the library needs, over the real file system, kept
// private to the user: folders it creates are 0700 and files 0600. No
// operation throws; failures come back as false or nothing. Thread-safe.
class FileManager {
public:
    // Documents in the application's private data folder.
    FileManager() = default;
    // Documents in `documentsDirectory` (tests, hosts with a folder of their own).
    explicit FileManager(std::filesystem::path documentsDirectory);

    // Read at each call, so that a host changing its data folder is followed.
    std::filesystem::path documentsDirectory() const;

    // Whether something (a file, folder or link, dangling or not) is at `path`.
    bool fileExists(const std::filesystem::path& path) const;
    // A real folder: a link to one does not count.
    bool isDirectory(const std::filesystem::path& path) const;
    // Creates the folder and any missing folder above it, each 0700; an
    // existing folder at `path` is made 0700. False when something else is in the way.
    bool createDirectory(const std::filesystem::path& path) const;
    // The items directly inside the folder, in no particular order; nothing
    // when it is not a folder or cannot be read.
    std::optional<std::vector<std::filesystem::path>> contentsOfDirectory(
        const std::filesystem::path& path) const;
    // Removes a file, a link (not what it points to) or a whole folder.
    bool removeItem(const std::filesystem::path& path) const;
    // Writes `bytes` to a new or truncated 0600 file, never through a link; a
    // file that could not be written whole is removed again.
    bool createFile(const std::filesystem::path& path, const Data& bytes) const;

private:
    std::optional<std::filesystem::path> documentsDirectory_;
};

}  // namespace ovira

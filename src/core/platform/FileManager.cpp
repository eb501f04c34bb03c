#include "platform/FileManager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ovira/UserDefaults.h"

namespace ovira {

namespace fs = std::filesystem;

FileManager::FileManager(fs::path documentsDirectory) : documentsDirectory_(std::move(documentsDirectory)) {}

fs::path FileManager::documentsDirectory() const {
    return documentsDirectory_ ? *documentsDirectory_ : applicationDataDirectory();
}

bool FileManager::fileExists(const fs::path& path) const {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

bool FileManager::isDirectory(const fs::path& path) const {
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::directory;
}

bool FileManager::createDirectory(const fs::path& path) const {
    if (path.empty()) return false;
    fs::path current;
    for (const auto& component : path.lexically_normal()) {
        if (component.empty()) continue;
        current /= component;
        if (::mkdir(current.c_str(), 0700) == 0 || errno == EEXIST) continue;
        return false;
    }
    // Only the folder asked for is made private: the ones above may be shared.
    return isDirectory(path) && ::chmod(path.c_str(), 0700) == 0;
}

std::optional<std::vector<fs::path>> FileManager::contentsOfDirectory(const fs::path& path) const {
    if (!isDirectory(path)) return std::nullopt;
    std::error_code error;
    std::vector<fs::path> items;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        items.push_back(it->path());
    }
    if (error) return std::nullopt;
    return items;
}

bool FileManager::removeItem(const fs::path& path) const {
    if (!fileExists(path)) return false;
    std::error_code error;
    return fs::remove_all(path, error) != static_cast<std::uintmax_t>(-1) && !error;
}

bool FileManager::createFile(const fs::path& path, const Data& bytes) const {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0600) == 0;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            written += static_cast<std::size_t>(n);
    }
    ok = (::close(fd) == 0) && ok;
    if (!ok) ::unlink(path.c_str());
    return ok;
}

}  // namespace ovira

// Runs a command and watches, with inotify, every file it creates under a
// folder tree (the home, data, cache and temporary folders the command is
// given). Photograph-like files (.jpg, .jpeg, .png, or JPEG or PNG bytes)
// must appear only directly inside the capture folder, carry mode 0600
// whenever they are seen, and be gone when the command ends; the capture
// folder itself must be 0700.
//
//   e2e_photo_watch ROOT CAPTURE_FOLDER -- COMMAND [ARGUMENTS...]
//
// Prints one line per photograph and a summary; exits with the command's
// status when that is not 0, else 1 when a rule was broken, else 0.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Seen {
    bool photograph = false;
    bool gone = false;
    std::vector<unsigned> modes;  // every mode it was seen with, in order
};

bool photographName(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".jpg" || extension == ".jpeg" || extension == ".png";
}

bool photographBytes(const fs::path& path) {
    unsigned char head[8] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    const auto got = ::read(fd, head, sizeof head);
    ::close(fd);
    const bool jpeg = got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
    const bool png = got >= 8 && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0;
    return jpeg || png;
}

class Watch {
public:
    Watch(fs::path root, fs::path capture) : root_(std::move(root)), capture_(std::move(capture)) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        addTree(root_);
    }
    ~Watch() { ::close(fd_); }
    int fd() const { return fd_; }

    // Reads what inotify has; false when there was nothing.
    bool drain() {
        alignas(inotify_event) char buffer[64 * 1024];
        const auto length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0) return false;
        for (char* at = buffer; at < buffer + length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            const auto folder = folders_.find(event->wd);
            if (folder == folders_.end() || event->len == 0) continue;
            const fs::path path = folder->second / event->name;
            if (event->mask & IN_ISDIR) {
                if (event->mask & (IN_CREATE | IN_MOVED_TO)) addTree(path);
                if (path == capture_ && (event->mask & (IN_CREATE | IN_ATTRIB))) look(path);
            } else if (event->mask & (IN_DELETE | IN_MOVED_FROM)) {
                if (auto it = files_.find(path); it != files_.end()) it->second.gone = true;
            } else {
                look(path, (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) != 0);
            }
        }
        return true;
    }

    // Whatever is still there at the end, watched or not.
    void sweep() {
        std::error_code error;
        for (fs::recursive_directory_iterator it(root_, error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_regular_file(error)) look(it->path(), true);
        }
    }

    // Prints the report; the number of broken rules.
    int report() const {
        int broken = 0, photographs = 0;
        const auto complain = [&](const fs::path& path, const char* why) {
            std::printf("  VIOLATION %s: %s\n", path.c_str(), why);
            ++broken;
        };
        for (const auto& [path, seen] : files_) {
            if (!seen.photograph) continue;
            ++photographs;
            std::string modes;
            for (unsigned mode : seen.modes) modes += (modes.empty() ? "" : ",") + octal(mode);
            std::printf("photograph %s modes [%s] %s\n", path.c_str(), modes.c_str(),
                        seen.gone ? "removed" : "LEFT BEHIND");
            if (path.parent_path() != capture_) complain(path, "outside the capture folder");
            if (seen.modes.empty()) complain(path, "removed before its mode could be seen");
            for (unsigned mode : seen.modes)
                if (mode != 0600) complain(path, "not 0600");
            if (!seen.gone) complain(path, "still there at the end");
        }
        for (unsigned mode : captureModes_)
            if (mode != 0700) complain(capture_, ("capture folder is " + octal(mode)).c_str());
        std::printf(
            "photographs seen: %d, files seen: %zu, capture folder modes seen: %zu, broken rules: %d\n",
            photographs, files_.size(), captureModes_.size(), broken);
        return broken;
    }

private:
    static std::string octal(unsigned mode) {
        char text[8];
        std::snprintf(text, sizeof text, "%04o", mode);
        return text;
    }

    void addTree(const fs::path& folder) {
        constexpr auto mask =
            IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CLOSE_WRITE | IN_ATTRIB;
        const int wd = ::inotify_add_watch(fd_, folder.c_str(), mask | IN_ONLYDIR);
        if (wd < 0) return;
        folders_[wd] = folder;
        if (folder == capture_) look(folder);
        // What appeared before the watch did.
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            if (it->is_directory(error) && !it->is_symlink(error))
                addTree(it->path());
            else
                look(it->path());
        }
    }

    void look(const fs::path& path, bool written = false) {
        struct stat status {};
        const bool there = ::lstat(path.c_str(), &status) == 0;
        if (there && S_ISDIR(status.st_mode)) {
            if (path == capture_) captureModes_.push_back(status.st_mode & 07777);
            return;
        }
        auto& seen = files_[path];
        seen.photograph = seen.photograph || photographName(path);
        if (!there) return;
        seen.gone = false;
        if (!seen.photograph) seen.photograph = written && S_ISREG(status.st_mode) && photographBytes(path);
        const unsigned mode = status.st_mode & 07777;
        if (seen.modes.empty() || seen.modes.back() != mode) seen.modes.push_back(mode);
    }

    fs::path root_, capture_;
    int fd_ = -1;
    std::map<int, fs::path> folders_;
    std::map<fs::path, Seen> files_;
    std::vector<unsigned> captureModes_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || std::strcmp(argv[3], "--") != 0) {
        std::fprintf(stderr, "usage: e2e_photo_watch ROOT CAPTURE_FOLDER -- COMMAND [ARGUMENTS...]\n");
        return 2;
    }
    Watch watch(fs::absolute(argv[1]), fs::absolute(argv[2]));
    pid_t child = 0;
    if (::posix_spawnp(&child, argv[4], nullptr, nullptr, argv + 4, environ) != 0) {
        std::perror("e2e_photo_watch: cannot run the command");
        return 2;
    }
    int status = 0;
    for (;;) {
        pollfd ready{watch.fd(), POLLIN, 0};
        if (::poll(&ready, 1, 50) > 0) watch.drain();
        if (::waitpid(child, &status, WNOHANG) == child) break;
    }
    while (watch.drain()) {
    }
    watch.sweep();
    std::fflush(stdout);
    const int broken = watch.report();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("the command failed (status %d)\n", status);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
    return broken == 0 ? 0 : 1;
}

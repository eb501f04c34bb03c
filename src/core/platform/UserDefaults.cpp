#include "ovira/UserDefaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "ovira/EKYCLogger.h"
#include "ovira/MainBundle.h"
#include "platform/FileContents.h"

namespace ovira {
namespace {

using json = nlohmann::json;

const EKYCLogger& logger() {
    static const EKYCLogger instance("[UserDefaults]", EKYCLogger::Subsystem::general);
    return instance;
}

// Reads the store; anything but a JSON object (missing, truncated, garbage)
// is an empty store.
json readStore(const std::filesystem::path& file) {
    const auto text = readFileContents(file);
    if (!text) return json::object();
    json value = json::parse(*text, nullptr, /*allow_exceptions=*/false);
    if (!value.is_object()) {
        logger().log("Ignoring unreadable store", file.string());
        return json::object();
    }
    return value;
}

bool writeAll(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ensurePrivateDirectory(const std::filesystem::path& directory) {
    std::error_code error;
    if (directory.empty()) return true;
    const bool existed = std::filesystem::is_directory(directory, error);
    std::filesystem::create_directories(directory, error);
    if (!std::filesystem::is_directory(directory, error)) return false;
    if (!existed) ::chmod(directory.c_str(), 0700);
    return true;
}

}  // namespace

struct UserDefaults::State {
    json values = json::object();
    bool dirty = false;
};

UserDefaults::UserDefaults(std::filesystem::path file)
    : file_(std::move(file)), state_(std::make_unique<State>()) {
    state_->values = readStore(file_);
}

UserDefaults::~UserDefaults() = default;

UserDefaults& UserDefaults::standard() {
    // Never destroyed (every change is already on disk): requests still
    // running at exit read the session from it.
    static auto* store = new UserDefaults(applicationDataDirectory() / "UserDefaults.json");
    return *store;
}

std::optional<std::string> UserDefaults::string(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const auto it = state_->values.find(key);
    if (it == state_->values.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}

json UserDefaults::object(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const auto it = state_->values.find(key);
    return it == state_->values.end() ? json() : *it;
}

bool UserDefaults::contains(const std::string& key) const {
    std::lock_guard lock(mutex_);
    return state_->values.contains(key);
}

void UserDefaults::setString(const std::string& key, const std::string& value) {
    setObject(key, json(value));
}

void UserDefaults::setObject(const std::string& key, const json& value) {
    std::lock_guard lock(mutex_);
    if (value.is_null())
        state_->values.erase(key);
    else
        state_->values[key] = value;
    state_->dirty = true;
    writeLocked();
}

void UserDefaults::removeObject(const std::string& key) {
    std::lock_guard lock(mutex_);
    state_->values.erase(key);
    state_->dirty = true;
    writeLocked();
}

bool UserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    return !state_->dirty || writeLocked();
}

bool UserDefaults::writeLocked() {
    std::string text;
    try {
        text = state_->values.dump();
    } catch (const json::exception& error) {  // text that is not UTF-8
        logger().log("Cannot store values:", error.what());
        return false;
    }
    if (!ensurePrivateDirectory(file_.parent_path())) {
        logger().log("Cannot create folder", file_.parent_path().string());
        return false;
    }
    // A temporary file in the same folder, renamed over the store: a reader
    // or a crash sees either the old or the new contents, never a mix.
    std::string temporary = file_.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        logger().log("Cannot write", file_.string());
        return false;
    }
    ::fchmod(fd, 0600);
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), file_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        logger().log("Cannot write", file_.string());
        return false;
    }
    state_->dirty = false;
    return true;
}

std::filesystem::path applicationDataDirectory() {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::filesystem::path(home) / ".local" / "share";
    } else {
        base = std::filesystem::temp_directory_path();
    }
    std::string identifier = MainBundle::main().stringForInfoDictionaryKey("CFBundleIdentifier").value_or("");
    // The identifier names one folder: no separators, no "." or "..".
    if (identifier.empty() || identifier.find('/') != std::string::npos || identifier == "." ||
        identifier == "..") {
        std::error_code error;
        const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
        identifier = error ? "ovira-host" : executable.filename().string();
    }
    return base / identifier;
}

}  // namespace ovira

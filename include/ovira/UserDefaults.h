#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

namespace ovira {

// A small persistent key-value store: a JSON object in a file in the
// application's private data folder. Every change is written at once,
// atomically (a temporary file renamed over the old one), with permissions
// 0600 in a 0700 folder. A missing, truncated or corrupt file reads as an
// empty store and is replaced by the next write. Thread-safe.
class UserDefaults {
public:
    explicit UserDefaults(std::filesystem::path file);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The application's store: "UserDefaults.json" in the application data
    // folder (see applicationDataDirectory()).
    static UserDefaults& standard();

    std::optional<std::string> string(const std::string& key) const;
    // The stored value, or null.
    nlohmann::json object(const std::string& key) const;
    bool contains(const std::string& key) const;

    void setString(const std::string& key, const std::string& value);
    void setObject(const std::string& key, const nlohmann::json& value);  // null removes
    void removeObject(const std::string& key);

    // Writes the store if an earlier write failed; true when the file on disk
    // holds the current contents.
    bool synchronize();

    const std::filesystem::path& file() const { return file_; }

private:
    bool writeLocked();

    std::filesystem::path file_;
    mutable std::mutex mutex_;
    struct State;
    std::unique_ptr<State> state_;
};

// The application's private data folder: $XDG_DATA_HOME (or ~/.local/share)
// followed by the application's identifier ("CFBundleIdentifier" in
// Info.json, else the executable's name).
std::filesystem::path applicationDataDirectory();

}  // namespace ovira

#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

namespace ovira {

/// A small persistent key-value store: a JSON object in a file in the
/// application's private data folder. Every change is written at once,
/// atomically (a temporary file renamed over the old one), with permissions
/// 0600 in a 0700 folder. A missing, truncated or corrupt file reads as an
/// empty store and is replaced by the next write. Thread-safe.
class UserDefaults {
public:
    /// A store kept in `file`, read now.
    explicit UserDefaults(std::filesystem::path file);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    /// The application's store: "UserDefaults.json" in the application data
    /// folder (see applicationDataDirectory()).
    static UserDefaults& standard();

    /// The stored value when it is a string.
    std::optional<std::string> string(const std::string& key) const;
    /// The stored value, or null.
    nlohmann::json object(const std::string& key) const;
    /// Whether a value is stored under the key.
    bool contains(const std::string& key) const;

    /// Stores a string and writes the file.
    void setString(const std::string& key, const std::string& value);
    /// Stores any JSON value and writes the file; null removes the key.
    void setObject(const std::string& key, const nlohmann::json& value);
    /// Removes the key and writes the file.
    void removeObject(const std::string& key);

    /// Writes the store if an earlier write failed; true when the file on disk
    /// holds the current contents.
    bool synchronize();

    /// The store's file.
    const std::filesystem::path& file() const { return file_; }

private:
    bool writeLocked();

    std::filesystem::path file_;
    mutable std::mutex mutex_;
    struct State;
    std::unique_ptr<State> state_;
};

/// The application's private data folder: $XDG_DATA_HOME (or ~/.local/share)
/// followed by the application's identifier ("CFBundleIdentifier" in
/// Info.json, else the executable's name).
std::filesystem::path applicationDataDirectory();

}  // namespace ovira

#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

namespace ovira {

/// The host application's settings ("EKYCAppID", the service host, ...): read
/// from "Info.json" beside the host's executable on first use, or set by the
/// host in code. Thread-safe.
class MainBundle {
public:
    /// The host's settings.
    static MainBundle& main();

    /// The value stored under the key: a JSON string, number, object, ... or
    /// null when there is none (so a number is told apart from a string).
    nlohmann::json objectForInfoDictionaryKey(const std::string& key) const;
    /// The value when it is a string.
    std::optional<std::string> stringForInfoDictionaryKey(const std::string& key) const;

    /// Replaces the whole dictionary with the JSON object in the file. A file
    /// that is missing, unreadable or not a JSON object leaves an empty
    /// dictionary; the reason is returned (and logged), nothing is thrown.
    std::optional<std::string> load(const std::filesystem::path& infoFile);
    /// Sets or replaces one entry (null removes it).
    void setObject(const std::string& key, const nlohmann::json& value);
    /// Replaces the whole dictionary (must be a JSON object; otherwise it is emptied).
    void setInfoDictionary(const nlohmann::json& dictionary);

    /// "Info.json" in the folder of the running executable.
    static std::filesystem::path defaultInfoFile();

    MainBundle();
    ~MainBundle();
    MainBundle(const MainBundle&) = delete;
    MainBundle& operator=(const MainBundle&) = delete;

private:
    void loadDefaultOnce() const;

    struct State;
    mutable std::mutex mutex_;
    std::unique_ptr<State> state_;
};

}  // namespace ovira

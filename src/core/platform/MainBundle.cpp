#include "ovira/MainBundle.h"

#include <nlohmann/json.hpp>

#include "ovira/EKYCLogger.h"
#include "platform/FileContents.h"

namespace ovira {
namespace {
using json = nlohmann::json;
}

struct MainBundle::State {
    json dictionary = json::object();
    bool loaded = false;  // the default file was read (or the host set values first)
};

MainBundle::MainBundle() : state_(std::make_unique<State>()) {}
MainBundle::~MainBundle() = default;

MainBundle& MainBundle::main() {
    // Never destroyed: requests still running at exit read the settings.
    static auto* bundle = new MainBundle;
    return *bundle;
}

std::filesystem::path MainBundle::defaultInfoFile() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "Info.json";
    return executable.parent_path() / "Info.json";
}

void MainBundle::loadDefaultOnce() const {
    // Called with the mutex held.
    if (state_->loaded) return;
    state_->loaded = true;
    const auto file = defaultInfoFile();
    const auto text = readFileContents(file);
    if (!text) return;
    json value = json::parse(*text, nullptr, false);
    if (value.is_object()) {
        state_->dictionary = std::move(value);
    } else {
        EKYCLogger("[MainBundle]", EKYCLogger::Subsystem::general)
            .log("Ignoring", file.string(), "- it is not a JSON object");
    }
}

json MainBundle::objectForInfoDictionaryKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    loadDefaultOnce();
    const auto it = state_->dictionary.find(key);
    return it == state_->dictionary.end() ? json() : *it;
}

std::optional<std::string> MainBundle::stringForInfoDictionaryKey(const std::string& key) const {
    const json value = objectForInfoDictionaryKey(key);
    if (!value.is_string()) return std::nullopt;
    return value.get<std::string>();
}

std::optional<std::string> MainBundle::load(const std::filesystem::path& infoFile) {
    std::optional<std::string> problem;
    json value = json::object();
    const auto text = readFileContents(infoFile);
    if (!text) {
        problem = "cannot read " + infoFile.string();
    } else {
        value = json::parse(*text, nullptr, false);
        if (!value.is_object()) {
            problem = infoFile.string() + " is not a JSON object";
            value = json::object();
        }
    }
    if (problem)
        EKYCLogger("[MainBundle]", EKYCLogger::Subsystem::general).log("Ignoring settings:", *problem);
    std::lock_guard lock(mutex_);
    state_->dictionary = std::move(value);
    state_->loaded = true;
    return problem;
}

void MainBundle::setObject(const std::string& key, const json& value) {
    std::lock_guard lock(mutex_);
    loadDefaultOnce();
    if (value.is_null())
        state_->dictionary.erase(key);
    else
        state_->dictionary[key] = value;
}

void MainBundle::setInfoDictionary(const json& dictionary) {
    std::lock_guard lock(mutex_);
    state_->loaded = true;
    state_->dictionary = dictionary.is_object() ? dictionary : json::object();
}

}  // namespace ovira

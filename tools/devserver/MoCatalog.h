#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ovira::devserver {

// The translations of a GNU gettext message catalogue (.mo). Read by hand
// rather than through libintl so that it works whatever locale the process
// runs in and never touches the global gettext state.
class MoCatalog {
public:
    MoCatalog() = default;

    // An empty catalogue when the file is missing, truncated or not a .mo file.
    static MoCatalog load(const std::filesystem::path& file);
    static MoCatalog parse(std::string_view bytes);

    // The translation of `original`, if the catalogue has a non-empty one.
    std::optional<std::string> translate(const std::string& original) const;
    std::size_t size() const { return translations_.size(); }

private:
    std::unordered_map<std::string, std::string> translations_;
};

}  // namespace ovira::devserver

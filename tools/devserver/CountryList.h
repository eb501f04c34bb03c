#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Messages.h"

namespace ovira::devserver {

struct Country {
    int id = 0;  // ISO 3166-1 numeric code
    std::string alpha2;
    std::string name;
};

// The countries of ISO 3166-1 as Debian's iso-codes package ships them, with
// names in English and in Vietnamese, each list sorted by name.
class CountryList {
public:
    static constexpr const char* kDefaultCodes = "/usr/share/iso-codes/json/iso_3166-1.json";
    static constexpr const char* kDefaultVietnamese = "/usr/share/locale/vi/LC_MESSAGES/iso_3166-1.mo";

    // Throws std::runtime_error when the codes file is missing or unreadable.
    // A missing or damaged translation file leaves the English names in place.
    static CountryList load(const std::filesystem::path& codesFile = kDefaultCodes,
                            const std::filesystem::path& vietnameseFile = kDefaultVietnamese);

    const std::vector<Country>& countries(Language language) const;
    // The name of the country with this two-letter code, or the code itself.
    std::string name(std::string_view alpha2, Language language) const;

private:
    std::vector<Country> english_;
    std::vector<Country> vietnamese_;
};

// Orders names the way a Vietnamese reader expects (ă, â after a; đ after d;
// tones after the bare letter), which also suits English names with accents.
bool collatesBefore(std::string_view left, std::string_view right);

}  // namespace ovira::devserver

#include "CountryList.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "MoCatalog.h"

namespace ovira::devserver {
namespace {

// Decodes UTF-8; a malformed byte becomes U+FFFD so that sorting never fails.
std::u32string decode(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80           ? 0
                          : (lead >> 5) == 0x6  ? 1
                          : (lead >> 4) == 0xE  ? 2
                          : (lead >> 3) == 0x1E ? 3
                                                : -1;
        if (extra < 0 || text.size() - i <= static_cast<std::size_t>(extra)) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (next & 0x3F);
        }
        out.push_back(valid ? cp : U'\uFFFD');
        i += valid ? static_cast<std::size_t>(extra) + 1 : 1;
    }
    return out;
}

struct Weight {
    std::uint32_t primary;
    std::uint32_t secondary;
};

// Letters grouped by the base letter they sort under; `variant` orders the
// Vietnamese letters that are letters of their own (a < ă < â, d < đ, ...).
// Within a group the position, ignoring case, is the secondary weight.
struct LetterGroup {
    char base;
    int variant;
    const char* letters;
};

constexpr LetterGroup kGroups[] = {
    {'a', 0, "aAàÀáÁảẢãÃạẠäÄåÅāĀąĄ"},
    {'a', 1, "ăĂằẰắẮẳẲẵẴặẶ"},
    {'a', 2, "âÂầẦấẤẩẨẫẪậẬ"},
    {'c', 0, "cCçÇćĆčČ"},
    {'d', 0, "dDďĎ"},
    {'d', 1, "đĐ"},
    {'e', 0, "eEèÈéÉẻẺẽẼẹẸëËēĒęĘěĚ"},
    {'e', 1, "êÊềỀếẾểỂễỄệỆ"},
    {'g', 0, "gGğĞ"},
    {'i', 0, "iIìÌíÍỉỈĩĨịỊïÏîÎ"},
    {'l', 0, "lLłŁ"},
    {'n', 0, "nNñÑńŃňŇ"},
    {'o', 0, "oOòÒóÓỏỎõÕọỌöÖøØōŌ"},
    {'o', 1, "ôÔồỒốỐổỔỗỖộỘ"},
    {'o', 2, "ơƠờỜớỚởỞỡỠợỢ"},
    {'r', 0, "rRřŘ"},
    {'s', 0, "sSšŠśŚşŞ"},
    {'t', 0, "tTţŢťŤ"},
    {'u', 0, "uUùÙúÚủỦũŨụỤüÜûÛūŪůŮ"},
    {'u', 1, "ưƯừỪứỨửỬữỮựỰ"},
    {'y', 0, "yYỳỲýÝỷỶỹỸỵỴÿ"},
    {'z', 0, "zZžŽ"},
};

std::uint32_t letterWeight(char base, int variant) {
    return 1000 + static_cast<std::uint32_t>(base - 'a') * 4 + static_cast<std::uint32_t>(variant);
}

const std::unordered_map<char32_t, Weight>& letterWeights() {
    static const auto table = [] {
        std::unordered_map<char32_t, Weight> weights;
        for (const auto& group : kGroups) {
            const auto letters = decode(group.letters);
            for (std::size_t i = 0; i < letters.size(); ++i) {
                weights.emplace(letters[i], Weight{letterWeight(group.base, group.variant),
                                                   static_cast<std::uint32_t>(i / 2)});
            }
        }
        return weights;
    }();
    return table;
}

Weight weightOf(char32_t cp) {
    const auto& table = letterWeights();
    if (const auto found = table.find(cp); found != table.end()) return found->second;
    if (cp >= U'a' && cp <= U'z') return {letterWeight(static_cast<char>(cp), 0), 0};
    if (cp >= U'A' && cp <= U'Z') return {letterWeight(static_cast<char>(cp - U'A' + U'a'), 0), 0};
    // Digits, punctuation and space sort before letters; other scripts after.
    return {cp < 0x80 ? static_cast<std::uint32_t>(cp) : 100000 + static_cast<std::uint32_t>(cp), 0};
}

std::vector<std::uint32_t> sortKey(std::string_view text) {
    const auto points = decode(text);
    std::vector<std::uint32_t> key;
    key.reserve(points.size() * 2 + 1);
    for (const auto cp : points) key.push_back(weightOf(cp).primary);
    key.push_back(0);
    for (const auto cp : points) key.push_back(weightOf(cp).secondary);
    return key;
}

void sortByName(std::vector<Country>& countries) {
    std::vector<std::pair<std::vector<std::uint32_t>, Country>> keyed;
    keyed.reserve(countries.size());
    for (auto& country : countries) keyed.emplace_back(sortKey(country.name), std::move(country));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    countries.clear();
    for (auto& [key, country] : keyed) countries.push_back(std::move(country));
}

}  // namespace

bool collatesBefore(std::string_view left, std::string_view right) {
    const auto a = sortKey(left);
    const auto b = sortKey(right);
    return a != b ? a < b : left < right;
}

CountryList CountryList::load(const std::filesystem::path& codesFile,
                              const std::filesystem::path& vietnameseFile) {
    std::ifstream in(codesFile);
    if (!in)
        throw std::runtime_error("cannot read the country codes " + codesFile.string() +
                                 " (package iso-codes)");
    nlohmann::json codes;
    try {
        codes = nlohmann::json::parse(in);
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error("the country codes " + codesFile.string() +
                                 " are not valid JSON: " + error.what());
    }
    const auto entries = codes.find("3166-1");
    if (entries == codes.end() || !entries->is_array()) {
        throw std::runtime_error("the country codes " + codesFile.string() + " lack the \"3166-1\" list");
    }

    const auto vietnamese = MoCatalog::load(vietnameseFile);
    CountryList list;
    for (const auto& entry : *entries) {
        const auto alpha2 = entry.value("alpha_2", std::string());
        const auto numeric = entry.value("numeric", std::string());
        const auto official = entry.value("name", std::string());
        if (alpha2.empty() || numeric.empty() || official.empty()) continue;
        int id = 0;
        try {
            id = std::stoi(numeric);
        } catch (const std::exception&) {
            continue;
        }
        // "Bolivia" reads better than "Bolivia, Plurinational State of"; the
        // translators cover the short name for some countries, the long one for others.
        const auto common = entry.value("common_name", official);
        auto local = vietnamese.translate(common);
        if (!local) local = vietnamese.translate(official);
        list.english_.push_back({id, alpha2, common});
        list.vietnamese_.push_back({id, alpha2, local.value_or(common)});
    }
    sortByName(list.english_);
    sortByName(list.vietnamese_);
    return list;
}

const std::vector<Country>& CountryList::countries(Language language) const {
    return language == Language::English ? english_ : vietnamese_;
}

std::string CountryList::name(std::string_view alpha2, Language language) const {
    for (const auto& country : countries(language)) {
        if (country.alpha2 == alpha2) return country.name;
    }
    return std::string(alpha2);
}

}  // namespace ovira::devserver

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "DevServerTestSupport.h"
#include "devserver/CountryList.h"
#include "devserver/MoCatalog.h"
#include "support/TemporaryDirectory.h"

namespace ovira::devserver::test {
namespace {

using nlohmann::json;

// A message catalogue in the GNU .mo layout, with either byte order.
std::string makeMo(const std::vector<std::pair<std::string, std::string>>& messages, bool bigEndian) {
    const auto word = [bigEndian](std::string& out, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (bigEndian ? 24 - 8 * i : 8 * i));
    };
    const auto count = static_cast<std::uint32_t>(messages.size());
    const std::uint32_t originals = 28, translations = originals + 8 * count;
    std::uint32_t offset = translations + 8 * count;
    std::string head, tables, strings;
    word(head, 0x950412de);
    for (const std::uint32_t value : {0u, count, originals, translations, 0u, 0u}) word(head, value);
    for (const bool translated : {false, true}) {
        for (const auto& [original, translation] : messages) {
            const auto& text = translated ? translation : original;
            word(tables, static_cast<std::uint32_t>(text.size()));
            word(tables, offset);
            strings += text + '\0';
            offset += static_cast<std::uint32_t>(text.size()) + 1;
        }
    }
    return head + tables + strings;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DevServerMoCatalog, ReadsBothByteOrdersAndTheInstalledCatalogue) {
    const std::vector<std::pair<std::string, std::string>> messages{
        {"", "Content-Type: text/plain; charset=UTF-8\n"},
        {"Hello", "Xin chào"},
        {std::string("apple\0apples", 12), std::string("táo\0táo", 8)}};
    for (const bool bigEndian : {false, true}) {
        const auto catalog = MoCatalog::parse(makeMo(messages, bigEndian));
        EXPECT_EQ(catalog.size(), 2u) << "the header entry is not a message";
        EXPECT_EQ(catalog.translate("Hello"), "Xin chào");
        EXPECT_EQ(catalog.translate("apple"), "táo") << "plural forms fall back to the singular";
        EXPECT_FALSE(catalog.translate("Goodbye"));
    }
    const auto installed = MoCatalog::load(CountryList::kDefaultVietnamese);
    EXPECT_GT(installed.size(), 200u);
    EXPECT_EQ(installed.translate("Viet Nam"), "Việt Nam");
}

TEST(DevServerMoCatalog, DamagedFilesLeaveEnglishCountryNames) {
    const auto real = readAll(CountryList::kDefaultVietnamese);
    ASSERT_GT(real.size(), 1000u);
    auto offsetsOutside = real;
    std::fill(offsetsOutside.begin() + 32, offsetsOutside.begin() + 36, '\xFF');  // first original's offset
    auto hugeCount = real;
    std::fill(hugeCount.begin() + 8, hugeCount.begin() + 12, '\xFF');
    const std::pair<const char*, std::string> damaged[] = {
        {"empty", ""},
        {"not a catalogue", "#, fuzzy\nmsgid \"Viet Nam\"\nmsgstr \"Việt Nam\"\n"},
        {"header only", real.substr(0, 20)},
        {"cut short", real.substr(0, 3000)},
        {"offset outside the file", offsetsOutside},
    };
    ovira::test::TemporaryDirectory folder;
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        EXPECT_EQ(MoCatalog::parse(bytes).size(), 0u);
        const auto file = folder / "broken.mo";
        std::ofstream(file, std::ios::binary) << bytes;
        const auto list = CountryList::load(CountryList::kDefaultCodes, file);
        ASSERT_GT(list.countries(Language::Vietnamese).size(), 200u);
        EXPECT_EQ(list.name("VN", Language::Vietnamese), "Vietnam") << "English names stand in";
    }
    // Entries past the real tables are garbage; what was readable is kept.
    EXPECT_EQ(MoCatalog::parse(hugeCount).translate("Viet Nam"), "Việt Nam");
    EXPECT_EQ(
        CountryList::load(CountryList::kDefaultCodes, folder / "missing.mo").name("DE", Language::Vietnamese),
        "Germany");
    EXPECT_THROW(CountryList::load(folder / "missing.json"), std::runtime_error);
}

TEST(DevServerCountryList, CollatesVietnameseLetters) {
    const std::pair<const char*, const char*> ordered[] = {
        {"A Phú Hãn", "Ăng-gô-la"},
        {"Ăng-gô-la", "Ấn-độ"},
        {"Ấn-độ", "Ba Lan"},
        {"Do Thái", "Đan Mạch"},
        {"Đan Mạch", "Đức"},
        {"Đức", "E-xợ-tô-ni-a"},
        {"Ê-cu-a-đoa", "Ga-bon"},
        {"Åland Islands", "Albania"},
        {"Ô-man", "Pa-na-ma"},
        {"Oman", "Ô-man"},
        {"Mỹ", "Na Uy"},
        {"chi", "Chí"},
    };
    for (const auto& [first, second] : ordered) {
        EXPECT_TRUE(collatesBefore(first, second)) << first << " < " << second;
        EXPECT_FALSE(collatesBefore(second, first)) << second << " < " << first;
    }
}

TEST(DevServerCountryList, ServedFromIsoCodesInBothLanguages) {
    auto client = connect(sharedServer());
    for (const auto* path : {"/v1/ekyc/listCountry", "/v1/ekyc/listNational"}) {
        for (const auto& [language, vietnam] : {std::pair{"vi", "Việt Nam"}, std::pair{"en", "Vietnam"}}) {
            SCOPED_TRACE(std::string(path) + " " + language);
            const auto list = bodyOf(client->Get(path, sessionHeaders("lists", language)))["data"];
            ASSERT_GT(list.size(), 200u);
            EXPECT_NE(std::find(list.begin(), list.end(), json{{"id", 704}, {"name", vietnam}}), list.end());
            std::set<int> ids;
            for (const auto& country : list) ids.insert(country["id"].get<int>());
            EXPECT_EQ(ids.size(), list.size());
            EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const json& a, const json& b) {
                return collatesBefore(a["name"].get<std::string>(), b["name"].get<std::string>());
            }));
        }
    }
}

}  // namespace
}  // namespace ovira::devserver::test

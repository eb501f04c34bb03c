#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
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
    std::string head, tables, strings;
    const auto word = [bigEndian](std::string& out, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (bigEndian ? 24 - 8 * i : 8 * i));
    };
    const auto count = static_cast<std::uint32_t>(messages.size());
    std::uint32_t offset = 28 + 16 * count;
    for (const std::uint32_t value : {0x950412deu, 0u, count, 28u, 28 + 8 * count, 0u, 0u}) word(head, value);
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

TEST(DevServerMoCatalog, ReadsBothByteOrders) {
    const std::vector<std::pair<std::string, std::string>> messages{
        {"", "Content-Type: text/plain; charset=UTF-8\n"},
        {"Hello", "Xin chào"},
        {std::string("apple\0apples", 12), std::string("táo\0táo", 8)}};
    for (const bool bigEndian : {false, true}) {
        const auto catalog = MoCatalog::parse(makeMo(messages, bigEndian));
        EXPECT_EQ(catalog.size(), 2u) << "the header entry is not a message";
        EXPECT_EQ(catalog.translate("Hello"), "Xin chào") << bigEndian;
        EXPECT_EQ(catalog.translate("apple"), "táo") << "plural forms fall back to the singular";
    }
}

TEST(DevServerMoCatalog, DamagedFilesLeaveEnglishCountryNames) {
    std::ifstream in(CountryList::kDefaultVietnamese, std::ios::binary);
    const std::string real{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(real.size(), 1000u);
    auto offsetOutside = real;
    std::fill(offsetOutside.begin() + 32, offsetOutside.begin() + 36, '\xFF');  // first original's offset
    const std::pair<const char*, std::string> damaged[] = {
        {"empty", ""},
        {"not a catalogue", "msgid \"Viet Nam\"\nmsgstr \"Việt Nam\"\n"},
        {"cut short", real.substr(0, 3000)},
        {"offset outside the file", offsetOutside},
    };
    ovira::test::TemporaryDirectory folder;
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        std::ofstream(folder / "broken.mo", std::ios::binary) << bytes;
        const auto list = CountryList::load(CountryList::kDefaultCodes, folder / "broken.mo");
        ASSERT_GT(list.countries(Language::Vietnamese).size(), 200u);
        EXPECT_EQ(list.name("VN", Language::Vietnamese), "Vietnam") << "English names stand in";
    }
    EXPECT_THROW(CountryList::load(folder / "missing.json"), std::runtime_error);
}

TEST(DevServerCountryList, CollatesVietnameseLetters) {
    const std::pair<const char*, const char*> ordered[] = {
        {"A Phú Hãn", "Ăng-gô-la"}, {"Ăng-gô-la", "Ấn-độ"}, {"Do Thái", "Đan Mạch"}, {"Đức", "E-xợ-tô-ni-a"},
        {"Oman", "Ô-man"},          {"Ô-man", "Pa-na-ma"},  {"chi", "Chí"},
    };
    for (const auto& [first, second] : ordered) {
        EXPECT_TRUE(collatesBefore(first, second) && !collatesBefore(second, first))
            << first << " < " << second;
    }
}

TEST(DevServerCountryList, ServedWithVietnameseNamesInOrder) {
    auto client = connect(sharedServer());
    for (const auto& [language, vietnam] : {std::pair{"vi", "Việt Nam"}, std::pair{"en", "Vietnam"}}) {
        const auto list =
            bodyOf(client->Get("/v1/ekyc/listNational", sessionHeaders("lists", language)))["data"];
        ASSERT_GT(list.size(), 200u) << language;
        EXPECT_NE(std::find(list.begin(), list.end(), json{{"id", 704}, {"name", vietnam}}), list.end());
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const json& a, const json& b) {
            return collatesBefore(a["name"].get<std::string>(), b["name"].get<std::string>());
        }));
    }
}

}  // namespace
}  // namespace ovira::devserver::test

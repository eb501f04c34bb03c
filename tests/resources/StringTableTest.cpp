// The string-table reader that turns the .strings files into library data.
#include <gtest/gtest.h>

#include "StringsFileParser.h"

namespace ovira::strings {
namespace {

TEST(StringsFileParser, ReadsEntriesCommentsAndEscapes) {
    const auto entries = parseStringsFile(
        "/* heading */\n"
        "\"a\" = \"Đóng\";   // trailing comment\n"
        "\"b\"=\"say \\\"hi\\\"\\n\\\\ 100%%\";\n"
        "\"c\" = \"\\U00EC\";\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries.at("a"), "Đóng");
    EXPECT_EQ(entries.at("b"), "say \"hi\"\n\\ 100%%");
    EXPECT_EQ(entries.at("c"), "ì");
}

TEST(StringsFileParser, RejectsMalformedTablesNamingTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"\"a\" = \"x\";\n\"a\" = \"y\";", "line 2: duplicate key \"a\""},
        {"\"a\" = \"x\"", "line 1: expected ';'"},
        {"\"a\" \"x\";", "line 1: expected '='"},
        {"\"a\" = \"x;\n", "line 1: line break inside a string"},
        {"/* open", "line 1: unterminated comment"},
        {"\"a\" = \"\\q\";", "line 1: unknown escape \\q"},
    };
    for (const auto& c : cases) {
        try {
            parseStringsFile(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const StringsSyntaxError& error) {
            EXPECT_STREQ(error.what(), c.error);
        }
    }
}

}  // namespace
}  // namespace ovira::strings

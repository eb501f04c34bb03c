// The string-table reader shared by ovira-stringsc and the host's strings files.
#include <gtest/gtest.h>

#include "resources/StringsFileParser.h"

namespace ovira::strings {
namespace {

TEST(StringsFileParser, ReadsEntriesCommentsAndEscapes) {
    const auto entries = parseStringsFile(
        "\xEF\xBB\xBF/* heading\n   over two lines */\n"
        "\"a\" = \"Đóng\";   // trailing comment\n"
        "\"b\"=\"say \\\"hi\\\"\\n\\\\ 100%%\\t.\\r\";\n"
        "\"c\" = \"\\U00EC\\u00e0\";\n"
        "\"emoji\" = \"\\uD83D\\uDE00\";\n"
        "\"empty\" = \"\";");
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries.at("a"), "Đóng");
    EXPECT_EQ(entries.at("b"), "say \"hi\"\n\\ 100%%\t.\r");
    EXPECT_EQ(entries.at("c"), "ìà");
    EXPECT_EQ(entries.at("emoji"), "\xF0\x9F\x98\x80") << "a surrogate pair is one character";
    EXPECT_EQ(entries.at("empty"), "");
}

TEST(StringsFileParser, GivesEntriesInFileOrderWithTheLineOfTheirKey) {
    const auto entries = parseStringsEntries(
        "// first\n"
        "\"z\" = \"1\";\n"
        "/* a\n b\n c */ \"a\"\n"
        "  =\n"
        "  \"2\"; \"m\" = \"3\";\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].key, "z");
    EXPECT_EQ(entries[0].line, 2);
    EXPECT_EQ(entries[1].key, "a");
    EXPECT_EQ(entries[1].text, "2");
    EXPECT_EQ(entries[1].line, 5) << "the line the key is on, after a comment of three lines";
    EXPECT_EQ(entries[2].key, "m");
    EXPECT_EQ(entries[2].line, 7);
}

TEST(StringsFileParser, RefusesMalformedTablesNamingTheLineAndTheReason) {
    const struct {
        const char* text;
        int line;
        const char* reason;
    } cases[] = {
        {"\"a\" = \"x\";\n\n\"a\" = \"y\";", 3, "duplicate key \"a\""},
        {"\"a\" = \"x\"\n\"b\" = \"y\";", 1, "expected ';' after the text of \"a\""},
        {"\"a\"\n\n\"x\";", 1, "expected '=' after the key \"a\""},
        {"\"a\" = \"x\"", 1, "expected ';' after the text of \"a\""},
        {"\n\"a\" \"x\";", 2, "expected '=' after the key \"a\""},
        {"\"a\" = x;", 1, "expected a text in quotes after '='"},
        {"\"a\" = \"1\";\nb = \"x\";", 2, "expected a key in quotes, found 'b'"},
        {"\"a\" = \"x;\n\"b\" = \"y\";", 1, "line break inside a string (write \\n)"},
        {"\"a\" = \"x", 1, "unterminated string: the file ends before its closing quote"},
        {"\"a\" = \"x\\", 1, "unterminated string: the file ends before its closing quote"},
        {"\"a\" = \"x\";\n/* open\n\n", 2, "unterminated comment"},
        {"\"a\" = \"\\q\";", 1, "unknown escape \\q"},
        {"\"a\" = \"\\u12\";", 1, "\\u needs four hexadecimal digits"},
        {"\"a\" = \"\\u0000\";", 1, "\\u0000: texts cannot hold a NUL character"},
        {"\"a\" = \"\\uD83D!\";", 1, "a high surrogate \\uD83D without its low half"},
        {"\"a\" = \"\\uDE00\";", 1, "a lone low surrogate \\uDE00"},
        {"\"a\" = \"ok\";\n\"b\" = \"caf\xE9\";", 2, "invalid UTF-8"},  // Latin-1
        {"// \xC0\xAF\n", 1, "invalid UTF-8"},                          // overlong, even in a comment
        {"\"a\" = \"\xED\xA0\x80\";", 1, "invalid UTF-8"},              // an encoded surrogate
        {"\"a\" = \"\xF4\x90\x80\x80\";", 1, "invalid UTF-8"},          // beyond U+10FFFF
        {"\"a\" = \"\xE1\x80\";", 1, "invalid UTF-8"},                  // cut short
        {"\xFF\xFE\"\0a\0\"\0", 1, "the file is UTF-16; strings files are read as UTF-8"},
        {"\n\n\"a\" = \"x\";\n\"b\" = \"y\"\n;\n\"c\" = \"z\" \"d\";", 6,
         "expected ';' after the text of \"c\""},
    };
    for (const auto& c : cases) {
        try {
            parseStringsEntries(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const StringsSyntaxError& error) {
            EXPECT_EQ(error.line(), c.line) << c.text;
            EXPECT_EQ(error.reason(), c.reason) << c.text;
            EXPECT_EQ(std::string(error.what()), "line " + std::to_string(c.line) + ": " + c.reason);
        }
    }
    EXPECT_THROW(parseStringsEntries(std::string_view("\"a\" = \"x\0\";", 10)), StringsSyntaxError)
        << "a NUL byte would cut the compiled text short";
}

}  // namespace
}  // namespace ovira::strings

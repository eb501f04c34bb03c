#include "StringsFileParser.h"

#include <cstdint>

namespace ovira::strings {
namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    std::map<std::string, std::string> parse() {
        std::map<std::string, std::string> entries;
        for (skipBlank(); pos_ < text_.size(); skipBlank()) {
            std::string key = quoted();
            skipBlank();
            expect('=');
            skipBlank();
            std::string value = quoted();
            skipBlank();
            expect(';');
            if (!entries.emplace(key, std::move(value)).second) fail("duplicate key \"" + key + "\"");
        }
        return entries;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        std::size_t line = 1;
        for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) line += text_[i] == '\n';
        throw StringsSyntaxError("line " + std::to_string(line) + ": " + what);
    }

    void expect(char c) {
        if (pos_ >= text_.size() || text_[pos_] != c) fail(std::string("expected '") + c + "'");
        ++pos_;
    }

    void skipBlank() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++pos_;
            } else if (text_.compare(pos_, 2, "/*") == 0) {
                const auto end = text_.find("*/", pos_ + 2);
                if (end == std::string::npos) fail("unterminated comment");
                pos_ = end + 2;
            } else if (text_.compare(pos_, 2, "//") == 0) {
                const auto end = text_.find('\n', pos_);
                pos_ = end == std::string::npos ? text_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    static void appendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string quoted() {
        expect('"');
        std::string out;
        while (true) {
            if (pos_ >= text_.size()) fail("unterminated string");
            const char c = text_[pos_++];
            if (c == '"') return out;
            if (c == '\n') {
                --pos_;  // report the line the string is on
                fail("line break inside a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) fail("unterminated escape");
            const char e = text_[pos_++];
            switch (e) {
                case '"':
                case '\\':
                    out += e;
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'U':
                case 'u': {
                    if (pos_ + 4 > text_.size()) fail("short \\U escape");
                    std::uint32_t code = 0;
                    for (int i = 0; i < 4; ++i) {
                        const char h = text_[pos_++];
                        code <<= 4;
                        if (h >= '0' && h <= '9')
                            code |= static_cast<std::uint32_t>(h - '0');
                        else if (h >= 'a' && h <= 'f')
                            code |= static_cast<std::uint32_t>(h - 'a' + 10);
                        else if (h >= 'A' && h <= 'F')
                            code |= static_cast<std::uint32_t>(h - 'A' + 10);
                        else
                            fail("bad \\U escape");
                    }
                    appendUtf8(out, code);
                    break;
                }
                default:
                    fail(std::string("unknown escape \\") + e);
            }
        }
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::map<std::string, std::string> parseStringsFile(const std::string& text) {
    return Parser(text).parse();
}

}  // namespace ovira::strings

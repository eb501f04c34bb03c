#include "resources/StringsFileParser.h"

#include <cstdint>
#include <set>

namespace ovira::strings {
namespace {

// The line (from 1) of every byte offset, counted as the parser moves on.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::vector<StringsEntry> parse() {
        checkEncoding();
        if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
        std::vector<StringsEntry> entries;
        std::set<std::string, std::less<>> seen;
        for (skipBlank(); pos_ < text_.size(); skipBlank()) {
            if (peek() != '"') fail("expected a key in quotes, found " + describe(peek()));
            const int line = line_;
            std::string key = quoted();
            // A missing sign is reported on the line of what it should follow.
            const int keyEnd = line_;
            skipBlank();
            if (peek() != '=') throw StringsSyntaxError(keyEnd, "expected '=' after the key \"" + key + "\"");
            ++pos_;
            skipBlank();
            if (peek() != '"') fail("expected a text in quotes after '='");
            std::string value = quoted();
            const int valueEnd = line_;
            skipBlank();
            if (peek() != ';')
                throw StringsSyntaxError(valueEnd, "expected ';' after the text of \"" + key + "\"");
            ++pos_;
            if (!seen.insert(key).second) throw StringsSyntaxError(line, "duplicate key \"" + key + "\"");
            entries.push_back({std::move(key), std::move(value), line});
        }
        return entries;
    }

private:
    [[noreturn]] void fail(const std::string& reason) const { throw StringsSyntaxError(line_, reason); }

    // The character at the cursor, or '\0' at the end.
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    static std::string describe(char c) {
        if (c == '\0') return "the end of the file";
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            return "other text";
        return std::string("'") + c + "'";
    }

    // The whole file must be UTF-8 without NUL characters; refused at the
    // line of the first offending byte.
    void checkEncoding() const {
        if (text_.starts_with("\xFF\xFE") || text_.starts_with("\xFE\xFF"))
            throw StringsSyntaxError(1, "the file is UTF-16; strings files are read as UTF-8");
        int line = 1;
        std::size_t i = 0;
        while (i < text_.size()) {
            const auto byte = static_cast<unsigned char>(text_[i]);
            if (byte == '\n') ++line;
            if (byte == 0) throw StringsSyntaxError(line, "a NUL character");
            const std::size_t length = sequenceLength(i);
            if (length == 0) throw StringsSyntaxError(line, "invalid UTF-8");
            i += length;
        }
    }

    // The length of the well-formed UTF-8 sequence at `i`, or 0.
    std::size_t sequenceLength(std::size_t i) const {
        const auto at = [&](std::size_t k) {
            return i + k < text_.size() ? static_cast<unsigned char>(text_[i + k]) : 0u;
        };
        const unsigned lead = at(0);
        if (lead < 0x80) return 1;
        const auto continuation = [&](std::size_t k, unsigned low = 0x80, unsigned high = 0xBF) {
            return at(k) >= low && at(k) <= high;
        };
        if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
        if (lead >= 0xE0 && lead <= 0xEF) {
            const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
            const unsigned high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
            return continuation(1, low, high) && continuation(2) ? 3 : 0;
        }
        if (lead >= 0xF0 && lead <= 0xF4) {
            const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
            const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
            return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
        }
        return 0;
    }

    void skipBlank() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "/*") {
                const auto end = text_.find("*/", pos_ + 2);
                if (end == std::string_view::npos) fail("unterminated comment");
                for (; pos_ < end + 2; ++pos_) line_ += text_[pos_] == '\n';
            } else if (text_.substr(pos_, 2) == "//") {
                const auto end = text_.find('\n', pos_);
                pos_ = end == std::string_view::npos ? text_.size() : end;
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
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    // Four hexadecimal digits after \u or \U.
    std::uint32_t hexQuad() {
        std::uint32_t code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = peek();
            code <<= 4;
            if (h >= '0' && h <= '9')
                code |= static_cast<std::uint32_t>(h - '0');
            else if (h >= 'a' && h <= 'f')
                code |= static_cast<std::uint32_t>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                code |= static_cast<std::uint32_t>(h - 'A' + 10);
            else
                fail("\\u needs four hexadecimal digits");
            ++pos_;
        }
        return code;
    }

    // A \u escape, the cursor after the 'u': one character, or a surrogate
    // pair written as two escapes.
    std::uint32_t unicodeEscape() {
        const std::uint32_t code = hexQuad();
        if (code == 0) fail("\\u0000: texts cannot hold a NUL character");
        if (code >= 0xDC00 && code <= 0xDFFF) fail("a lone low surrogate \\u" + hex(code));
        if (code < 0xD800 || code > 0xDBFF) return code;
        if (text_.substr(pos_, 2) != "\\u" && text_.substr(pos_, 2) != "\\U")
            fail("a high surrogate \\u" + hex(code) + " without its low half");
        pos_ += 2;
        const std::uint32_t low = hexQuad();
        if (low < 0xDC00 || low > 0xDFFF) fail("a high surrogate \\u" + hex(code) + " without its low half");
        return 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }

    static std::string hex(std::uint32_t code) {
        static constexpr char digits[] = "0123456789ABCDEF";
        std::string out;
        for (int shift = 12; shift >= 0; shift -= 4) out += digits[(code >> shift) & 0xF];
        return out;
    }

    // A string in quotes, the cursor on the opening quote.
    std::string quoted() {
        ++pos_;
        std::string out;
        while (true) {
            if (pos_ >= text_.size()) fail("unterminated string: the file ends before its closing quote");
            const char c = text_[pos_++];
            if (c == '"') return out;
            if (c == '\n') fail("line break inside a string (write \\n)");
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = peek();
            ++pos_;
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
                case 'u':
                    appendUtf8(out, unicodeEscape());
                    break;
                case '\0':
                    fail("unterminated string: the file ends before its closing quote");
                case '\n':
                    fail("line break inside a string (write \\n)");
                default:
                    fail(static_cast<unsigned char>(e) < 0x80
                             ? "unknown escape \\" + std::string(1, e)
                             : std::string("unknown escape: \\ before other text"));
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

StringsSyntaxError::StringsSyntaxError(int line, const std::string& reason)
    : std::runtime_error("line " + std::to_string(line) + ": " + reason), line_(line), reason_(reason) {}

std::vector<StringsEntry> parseStringsEntries(std::string_view text) {
    return Parser(text).parse();
}

std::map<std::string, std::string> parseStringsFile(std::string_view text) {
    std::map<std::string, std::string> entries;
    for (auto& entry : parseStringsEntries(text))
        entries.emplace(std::move(entry.key), std::move(entry.text));
    return entries;
}

}  // namespace ovira::strings

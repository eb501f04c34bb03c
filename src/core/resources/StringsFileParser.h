#pragma once

// The reader of string tables, shared by the library (the host's strings
// files, OVIRALocalization::loadStrings()) and by ovira-stringsc (the
// library's own tables, compiled in at build time). It depends on nothing
// but the standard library, so that the tool can compile it on its own.

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ovira::strings {

// A table that does not parse: the line at fault (from 1) and why.
// what() is "line <line>: <reason>".
class StringsSyntaxError : public std::runtime_error {
public:
    StringsSyntaxError(int line, const std::string& reason);

    int line() const { return line_; }
    const std::string& reason() const { return reason_; }

private:
    int line_;
    std::string reason_;
};

// One text of a table, with the line its key is on.
struct StringsEntry {
    std::string key;
    std::string text;
    int line = 0;
};

// Reads a table of
//
//     /* comment */  // comment
//     "key" = "text";
//
// in UTF-8 (a leading byte-order mark is skipped). Texts may use the escapes
// \" \\ \n \t \r and \uXXXX or \UXXXX (four hexadecimal digits; a character
// beyond U+FFFF is written as its UTF-16 surrogate pair). Refused, with the
// line: bytes that are not UTF-8 (UTF-16 files included), a NUL character,
// a line break inside quotes, a missing '=' or ';', an unterminated string
// or comment, an unknown escape, a lone surrogate, and a key given twice
// (which of the two was meant cannot be told).
// Entries come in the order of the file.
std::vector<StringsEntry> parseStringsEntries(std::string_view text);

// The same texts by key.
std::map<std::string, std::string> parseStringsFile(std::string_view text);

}  // namespace ovira::strings

#pragma once

#include <map>
#include <stdexcept>
#include <string>

namespace ovira::strings {

// A malformed table: the message names the line.
class StringsSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a string table in the "key" = "value"; format with /* */ and //
// comments and the escapes \" \\ \n \t \r and \UXXXX. Keys must be unique.
std::map<std::string, std::string> parseStringsFile(const std::string& text);

}  // namespace ovira::strings

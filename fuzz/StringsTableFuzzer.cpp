// Any text as a string table (the library's own or a host's file): parsed,
// or refused with a syntax error on a line of the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "resources/StringsFileParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
    try {
        for (const auto& entry : ovira::strings::parseStringsEntries(text))
            if (entry.line < 1 || entry.line > lines) std::abort();
    } catch (const ovira::strings::StringsSyntaxError& error) {
        if (error.line() < 1 || error.line() > lines) std::abort();
    }
    return 0;
}

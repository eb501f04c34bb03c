// Any text as a string table: parsed or refused with a syntax error, and
// what parses holds valid keys.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "StringsFileParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto table = ovira::strings::parseStringsFile(std::string(reinterpret_cast<const char*>(data), size));
        for (const auto& [key, value] : table) (void)value;
    } catch (const ovira::strings::StringsSyntaxError&) {
    }
    return 0;
}

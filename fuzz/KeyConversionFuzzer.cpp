// Any key through both conversions: no crash, and converting to snake case
// twice changes nothing the second time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "network/KeyConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view key(reinterpret_cast<const char*>(data), size);
    (void)ovira::convertFromSnakeCase(key);
    const std::string snake = ovira::convertToSnakeCase(key);
    if (ovira::convertToSnakeCase(snake) != snake) std::abort();
    return 0;
}

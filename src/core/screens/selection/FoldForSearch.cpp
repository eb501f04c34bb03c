#include "screens/selection/FoldForSearch.h"

#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace ovira {

std::string foldForSearch(std::string_view text) {
    utf8proc_uint8_t* folded = nullptr;
    const auto length = utf8proc_map(
        reinterpret_cast<const utf8proc_uint8_t*>(text.data()), static_cast<utf8proc_ssize_t>(text.size()),
        &folded, static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_DECOMPOSE | UTF8PROC_STRIPMARK));
    const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owner(folded, &std::free);
    if (length < 0) return {};

    std::string result;
    result.reserve(static_cast<std::size_t>(length));
    utf8proc_ssize_t offset = 0;
    while (offset < length) {
        utf8proc_int32_t codepoint = 0;
        const auto step = utf8proc_iterate(folded + offset, length - offset, &codepoint);
        if (step <= 0) return {};
        offset += step;
        if (codepoint == 0x0111)
            result += 'd';  // đ has no decomposition
        else if (codepoint == 0x0110)
            result += 'D';  // nor has Đ
        else if (codepoint < 0x80)
            result += static_cast<char>(codepoint);
        else
            result += '?';
    }
    return result;
}

bool matchesSearch(std::string_view value, std::string_view keyword) {
    auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c);
        });
        return text;
    };
    return lower(foldForSearch(value)).find(lower(foldForSearch(keyword))) != std::string::npos;
}

}  // namespace ovira

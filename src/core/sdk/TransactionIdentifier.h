#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ovira {

// Session identifiers: 10 characters drawn uniformly from [a-zA-Z0-9], then
// the fixed suffix.
struct TransactionIdentifier {
    static constexpr std::string_view alphabet =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static constexpr std::string_view suffix = "ekyciosapp";
    static constexpr std::size_t randomLength = 10;

    // From the system's secure random source.
    static std::string make();
    // From the given uniform draw in [0, bound) (tests script it).
    static std::string make(const std::function<std::uint32_t(std::uint32_t bound)>& uniform);
};

}  // namespace ovira

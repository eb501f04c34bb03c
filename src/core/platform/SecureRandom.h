#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ovira {

// The system's cryptographically secure random source (getrandom).
struct SecureRandom {
    static std::uint32_t next32();
    static void fill(void* buffer, std::size_t length);

    // Uniform in [0, upperBound) without modulo bias; 0 when upperBound < 2.
    static std::uint32_t uniform(std::uint32_t upperBound);
    // The same draw over any 32-bit source: values in the biased tail are
    // rejected and drawn again.
    static std::uint32_t uniform(std::uint32_t upperBound, const std::function<std::uint32_t()>& source);
};

}  // namespace ovira

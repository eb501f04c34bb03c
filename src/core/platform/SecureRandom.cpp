#include "platform/SecureRandom.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace ovira {

void SecureRandom::fill(void* buffer, std::size_t length) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        const ssize_t got = getrandom(bytes, length, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            // Without a secure source no identifier may be made; this cannot
            // happen on the kernels we support.
            throw std::runtime_error(std::string("getrandom failed: ") + std::strerror(errno));
        }
        bytes += got;
        length -= static_cast<std::size_t>(got);
    }
}

std::uint32_t SecureRandom::next32() {
    std::uint32_t value;
    fill(&value, sizeof value);
    return value;
}

std::uint32_t SecureRandom::uniform(std::uint32_t upperBound) {
    return uniform(upperBound, next32);
}

std::uint32_t SecureRandom::uniform(std::uint32_t upperBound, const std::function<std::uint32_t()>& source) {
    if (upperBound < 2) return 0;
    // 2^32 mod upperBound: the values below it would make the low results
    // more likely than the others, so they are drawn again.
    const std::uint32_t threshold = static_cast<std::uint32_t>(-upperBound) % upperBound;
    while (true) {
        const std::uint32_t value = source();
        if (value >= threshold) return value % upperBound;
    }
}

}  // namespace ovira

#include "sdk/TransactionIdentifier.h"

#include "platform/SecureRandom.h"

namespace ovira {

std::string TransactionIdentifier::make() {
    return make([](std::uint32_t bound) { return SecureRandom::uniform(bound); });
}

std::string TransactionIdentifier::make(const std::function<std::uint32_t(std::uint32_t)>& uniform) {
    std::string identifier;
    identifier.reserve(randomLength + suffix.size());
    const auto size = static_cast<std::uint32_t>(alphabet.size());
    for (std::size_t i = 0; i < randomLength; ++i) identifier += alphabet[uniform(size) % size];
    identifier += suffix;
    return identifier;
}

}  // namespace ovira

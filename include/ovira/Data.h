#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ovira {

/// Raw bytes: request and response bodies, photographs, multipart parts.
using Data = std::vector<std::uint8_t>;

/// The bytes of `text`.
inline Data makeData(std::string_view text) {
    return Data(text.begin(), text.end());
}

/// The bytes seen as characters, without a copy; valid while `data` is unchanged.
inline std::string_view asStringView(const Data& data) {
    return {reinterpret_cast<const char*>(data.data()), data.size()};
}

/// Appends the bytes of `text`.
inline void append(Data& data, std::string_view text) {
    data.insert(data.end(), text.begin(), text.end());
}
/// Appends `more`.
inline void append(Data& data, const Data& more) {
    data.insert(data.end(), more.begin(), more.end());
}

/// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUTF8(std::string_view bytes);

/// The bytes as text when they are valid UTF-8, nothing otherwise.
std::optional<std::string> utf8String(const Data& data);

}  // namespace ovira

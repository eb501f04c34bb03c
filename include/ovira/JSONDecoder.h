#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ovira/CodingErrors.h"
#include "ovira/Data.h"
#include "ovira/Date.h"

namespace ovira {

class JSONDecoder;
class DecodingValue;

/// How a type T is read from JSON. Types provide `static T decode(const DecodingValue&)`;
/// the library specialises this for text, numbers, booleans, dates, vectors and optionals.
template <class T, class Enable = void>
struct Decodable {
    /// The value as a T.
    static T decode(const DecodingValue& value) { return T::decode(value); }
};

/// One JSON value being decoded, with the decoder's settings and the path that
/// led to it. Every accessor throws DecodingError with that path on a mismatch.
class DecodingValue {
public:
    /// `value` (which must outlive this), decoded with `decoder`'s settings,
    /// found at `codingPath`.
    DecodingValue(const nlohmann::json& value, const JSONDecoder& decoder,
                  std::vector<std::string> codingPath = {});

    /// The JSON value.
    const nlohmann::json& json() const { return *value_; }
    /// The decoder whose settings apply.
    const JSONDecoder& decoder() const { return *decoder_; }
    /// The keys and indices from the root to this value.
    const std::vector<std::string>& codingPath() const { return codingPath_; }

    /// Whether the value is null.
    bool isNull() const;

    /// Keyed access; the value must be an object.
    bool contains(std::string_view key) const;
    /// The member, or nothing when the key is absent or holds null.
    std::optional<DecodingValue> memberIfPresent(std::string_view key) const;
    /// The member; keyNotFound when the key is absent.
    DecodingValue member(std::string_view key) const;

    /// Unkeyed access; the value must be an array.
    std::vector<DecodingValue> elements() const;

    ///@{
    /// The value as a basic type; DecodingError when it is another.
    std::string decodeString() const;
    bool decodeBool() const;
    std::int64_t decodeInt64() const;  ///< an integral JSON number (1.0 counts, 1.5 does not)
    double decodeDouble() const;       ///< any JSON number
    Date decodeDate() const;           ///< through the decoder's date strategy
    ///@}

    /// The value as a T (through Decodable<T>).
    template <class T>
    T decode() const {
        return Decodable<T>::decode(*this);
    }
    /// The member `key` as a T; keyNotFound when the key is absent.
    template <class T>
    T decode(std::string_view key) const {
        return member(key).template decode<T>();
    }
    /// Absent or null is nothing; a present value of the wrong type still fails.
    template <class T>
    std::optional<T> decodeIfPresent(std::string_view key) const {
        auto value = memberIfPresent(key);
        if (!value) return std::nullopt;
        return value->template decode<T>();
    }

    /// Fails with typeMismatch (valueNotFound for null) at this value's path:
    /// `expected` names the type wanted.
    [[noreturn]] void throwTypeMismatch(std::string_view expected) const;
    /// Fails with dataCorrupted at this value's path.
    [[noreturn]] void throwDataCorrupted(std::string description) const;

private:
    const nlohmann::json* value_;
    const JSONDecoder* decoder_;
    std::vector<std::string> codingPath_;
};

/// Reads JSON text into library types. Settings mirror the ones host developers
/// know from mobile JSON decoders.
class JSONDecoder {
public:
    /// How the JSON's member names are matched to the keys the types ask for.
    enum class KeyDecodingStrategy {
        useDefaultKeys,       ///< as they are
        convertFromSnakeCase, ///< "first_name" is read as "firstName"
    };
    /// Decodes a date from its JSON value; empty means the default representation
    /// (a number of seconds since 2001-01-01 00:00:00 UTC).
    using DateDecodingStrategy = std::function<Date(const DecodingValue&)>;

    /// Documents nested deeper than this are refused as corrupted rather than
    /// risking the stack on hostile input.
    static constexpr std::size_t maxNestingDepth = 64;

    KeyDecodingStrategy keyDecodingStrategy = KeyDecodingStrategy::useDefaultKeys;  ///< member names
    DateDecodingStrategy dateDecodingStrategy;                                       ///< dates

    /// The JSON text as a T; DecodingError when it is not one.
    template <class T>
    T decode(std::string_view text) const {
        std::optional<T> result;
        decodeRoot(text, [&](const DecodingValue& root) { result.emplace(root.template decode<T>()); });
        return std::move(*result);
    }
    /// The JSON bytes as a T; DecodingError when they are not one.
    template <class T>
    T decode(const Data& data) const {
        return decode<T>(asStringView(data));
    }

    /// Parses and prepares the document, then hands its root to `body`.
    void decodeRoot(std::string_view text, const std::function<void(const DecodingValue&)>& body) const;

    /// The process-wide decoder (snake-case keys converted to camel case).
    /// Replaceable; a replacement affects decodes that start afterwards.
    static std::shared_ptr<const JSONDecoder> shared();
    /// Replaces the process-wide decoder (see shared()).
    static void setShared(std::shared_ptr<const JSONDecoder> decoder);
};

/// The service's date representation: "yyyyMMddHHmmss" in the device's time zone.
/// The date of such a text, or nothing.
std::optional<Date> parseServiceDate(std::string_view text);
/// The date as such a text.
std::string formatServiceDate(Date date);
/// The date strategy of the service decoder: fails with "Invalid date: <text>".
Date decodeServiceDate(const DecodingValue& value);

/// @cond
// ---- Decodable specialisations for the basic types ----

template <>
struct Decodable<std::string> {
    static std::string decode(const DecodingValue& v) { return v.decodeString(); }
};
template <>
struct Decodable<bool> {
    static bool decode(const DecodingValue& v) { return v.decodeBool(); }
};
template <class T>
struct Decodable<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
    static T decode(const DecodingValue& v) {
        const std::int64_t number = v.decodeInt64();
        if constexpr (std::is_unsigned_v<T>) {
            if (number < 0) v.throwDataCorrupted("Number " + std::to_string(number) + " does not fit.");
        }
        // Compared as unsigned so that narrow unsigned types are bounded too.
        if (number < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
            (number > 0 && static_cast<std::uint64_t>(number) >
                               static_cast<std::uint64_t>(std::numeric_limits<T>::max()))) {
            v.throwDataCorrupted("Number " + std::to_string(number) + " does not fit.");
        }
        return static_cast<T>(number);
    }
};
template <>
struct Decodable<double> {
    static double decode(const DecodingValue& v) { return v.decodeDouble(); }
};
template <>
struct Decodable<Date> {
    static Date decode(const DecodingValue& v) { return v.decodeDate(); }
};
template <class T>
struct Decodable<std::vector<T>> {
    static std::vector<T> decode(const DecodingValue& v) {
        std::vector<T> result;
        for (const auto& element : v.elements()) result.push_back(element.template decode<T>());
        return result;
    }
};
template <class T>
struct Decodable<std::optional<T>> {
    static std::optional<T> decode(const DecodingValue& v) {
        if (v.isNull()) return std::nullopt;
        return v.template decode<T>();
    }
};

/// @endcond

}  // namespace ovira

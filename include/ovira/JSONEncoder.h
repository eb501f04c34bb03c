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

class JSONEncoder;
class EncodingValue;

/// How a type T is written as JSON. Types provide `void encode(EncodingValue&) const`;
/// the library specialises this for text, numbers, booleans, dates, vectors and optionals.
template <class T, class Enable = void>
struct Encodable {
    /// Writes `value` into `target`.
    static void encode(const T& value, EncodingValue& target) { value.encode(target); }
};

/// One JSON value being written, with the encoder's settings and its path.
class EncodingValue {
public:
    /// Writes into `target` (which must outlive this) with `encoder`'s
    /// settings, at `codingPath`.
    EncodingValue(nlohmann::json& target, const JSONEncoder& encoder,
                  std::vector<std::string> codingPath = {});

    /// The JSON value written so far.
    nlohmann::json& json() { return *target_; }
    /// The encoder whose settings apply.
    const JSONEncoder& encoder() const { return *encoder_; }
    /// The keys and indices from the root to this value.
    const std::vector<std::string>& codingPath() const { return codingPath_; }

    ///@{
    /// Makes this value a basic one.
    void encodeNull();
    void encodeString(std::string_view text);  ///< EncodingError when not UTF-8
    void encodeBool(bool value);
    void encodeInt64(std::int64_t value);
    void encodeDouble(double value);  ///< EncodingError when not finite
    void encodeDate(Date date);       ///< through the encoder's date strategy
    ///@}

    /// Makes this value an object (if it is not one) and returns its member,
    /// the key converted by the encoder's key strategy.
    EncodingValue member(std::string_view key);
    /// Makes this value an empty array unless it already is one.
    void makeArray();
    /// Makes this value an array (if it is not one) and returns a new last
    /// element, valid until the next append.
    EncodingValue appendElement();

    /// Writes `value` here (through Encodable<T>).
    template <class T>
    void encode(const T& value) {
        Encodable<T>::encode(value, *this);
    }
    /// Writes `value` as the member `key`.
    template <class T>
    void encode(std::string_view key, const T& value) {
        EncodingValue target = member(key);
        target.encode(value);
    }
    /// Leaves the key out when there is no value.
    template <class T>
    void encodeIfPresent(std::string_view key, const std::optional<T>& value) {
        if (value) encode(key, *value);
    }

private:
    nlohmann::json* target_;
    const JSONEncoder* encoder_;
    std::vector<std::string> codingPath_;
};

/// Writes library types as compact JSON text (UTF-8).
class JSONEncoder {
public:
    /// How the types' keys become member names.
    enum class KeyEncodingStrategy {
        useDefaultKeys,      ///< as they are
        convertToSnakeCase,  ///< "firstName" is written "first_name"
    };
    /// Writes a date; empty means the default representation (a number of
    /// seconds since 2001-01-01 00:00:00 UTC).
    using DateEncodingStrategy = std::function<void(Date, EncodingValue&)>;

    KeyEncodingStrategy keyEncodingStrategy = KeyEncodingStrategy::useDefaultKeys;  ///< member names
    DateEncodingStrategy dateEncodingStrategy;                                       ///< dates

    /// `value` as JSON text; EncodingError when it cannot be written.
    template <class T>
    Data encode(const T& value) const {
        return encodeRoot([&](EncodingValue& root) { root.encode(value); });
    }

    /// The JSON text of the value `body` writes into the root it is handed.
    Data encodeRoot(const std::function<void(EncodingValue&)>& body) const;

    /// The process-wide encoder (camel-case keys written in snake case). Replaceable.
    static std::shared_ptr<const JSONEncoder> shared();
    /// Replaces the process-wide encoder (see shared()).
    static void setShared(std::shared_ptr<const JSONEncoder> encoder);
};

/// @cond
// ---- Encodable specialisations for the basic types ----

template <>
struct Encodable<std::string> {
    static void encode(const std::string& v, EncodingValue& t) { t.encodeString(v); }
};
template <>
struct Encodable<bool> {
    static void encode(bool v, EncodingValue& t) { t.encodeBool(v); }
};
template <class T>
struct Encodable<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
    static void encode(T v, EncodingValue& t) {
        // JSON numbers of the library are 64-bit signed; larger unsigned values would wrap.
        if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t)) {
            if (v > static_cast<T>(std::numeric_limits<std::int64_t>::max())) {
                throw EncodingError(t.codingPath(),
                                    "Number " + std::to_string(v) + " does not fit in Int64.");
            }
        }
        t.encodeInt64(static_cast<std::int64_t>(v));
    }
};
template <>
struct Encodable<double> {
    static void encode(double v, EncodingValue& t) { t.encodeDouble(v); }
};
template <>
struct Encodable<Date> {
    static void encode(Date v, EncodingValue& t) { t.encodeDate(v); }
};
template <class T>
struct Encodable<std::vector<T>> {
    static void encode(const std::vector<T>& values, EncodingValue& t) {
        t.makeArray();  // an empty vector is still an array
        for (const auto& value : values) {
            EncodingValue element = t.appendElement();
            element.encode(value);
        }
    }
};
template <class T>
struct Encodable<std::optional<T>> {
    static void encode(const std::optional<T>& v, EncodingValue& t) {
        if (v)
            t.encode(*v);
        else
            t.encodeNull();
    }
};

/// @endcond

}  // namespace ovira

#include "ovira/JSONDecoder.h"

#include <cmath>
#include <ctime>
#include <mutex>
#include <nlohmann/json.hpp>

#include "network/KeyConversion.h"

namespace ovira {
namespace {

using json = nlohmann::json;

const char* typeName(const json& value) {
    switch (value.type()) {
        case json::value_t::null:
            return "null";
        case json::value_t::boolean:
            return "bool";
        case json::value_t::string:
            return "string";
        case json::value_t::array:
            return "array";
        case json::value_t::object:
            return "dictionary";
        case json::value_t::number_integer:
        case json::value_t::number_unsigned:
        case json::value_t::number_float:
            return "number";
        default:
            return "data";
    }
}

// Refuses documents nested deeper than the limit before they are parsed, so
// that neither the parser nor anything after it recurses without bound.
bool exceedsDepth(std::string_view text, std::size_t limit) {
    std::size_t depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return true;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

void convertKeys(json& value) {
    if (value.is_object()) {
        json converted = json::object();
        for (auto& [key, member] : value.items()) {
            convertKeys(member);
            // The first of two keys that convert alike wins.
            converted.emplace(convertFromSnakeCase(key), std::move(member));
        }
        value = std::move(converted);
    } else if (value.is_array()) {
        for (auto& element : value) convertKeys(element);
    }
}

std::mutex& sharedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<const JSONDecoder>& sharedDecoder() {
    static std::shared_ptr<const JSONDecoder> decoder = [] {
        auto d = std::make_shared<JSONDecoder>();
        d->keyDecodingStrategy = JSONDecoder::KeyDecodingStrategy::convertFromSnakeCase;
        return std::shared_ptr<const JSONDecoder>(std::move(d));
    }();
    return decoder;
}

}  // namespace

// ---- DecodingValue ----

DecodingValue::DecodingValue(const nlohmann::json& value, const JSONDecoder& decoder,
                             std::vector<std::string> codingPath)
    : value_(&value), decoder_(&decoder), codingPath_(std::move(codingPath)) {}

bool DecodingValue::isNull() const {
    return value_->is_null();
}

void DecodingValue::throwTypeMismatch(std::string_view expected) const {
    if (value_->is_null()) {
        throw DecodingError(DecodingError::Kind::valueNotFound, codingPath_,
                            "Expected " + std::string(expected) + " value but found null instead.");
    }
    throw DecodingError(
        DecodingError::Kind::typeMismatch, codingPath_,
        "Expected to decode " + std::string(expected) + " but found " + typeName(*value_) + " instead.");
}

void DecodingValue::throwDataCorrupted(std::string description) const {
    throw DecodingError(DecodingError::Kind::dataCorrupted, codingPath_, std::move(description));
}

bool DecodingValue::contains(std::string_view key) const {
    if (!value_->is_object()) throwTypeMismatch("Dictionary");
    return value_->find(key) != value_->end();
}

std::optional<DecodingValue> DecodingValue::memberIfPresent(std::string_view key) const {
    if (!value_->is_object()) throwTypeMismatch("Dictionary");
    const auto it = value_->find(key);
    if (it == value_->end() || it->is_null()) return std::nullopt;
    auto path = codingPath_;
    path.emplace_back(key);
    return DecodingValue(*it, *decoder_, std::move(path));
}

DecodingValue DecodingValue::member(std::string_view key) const {
    if (!value_->is_object()) throwTypeMismatch("Dictionary");
    const auto it = value_->find(key);
    if (it == value_->end()) {
        throw DecodingError(DecodingError::Kind::keyNotFound, codingPath_,
                            "No value associated with key \"" + std::string(key) + "\".");
    }
    auto path = codingPath_;
    path.emplace_back(key);
    return DecodingValue(*it, *decoder_, std::move(path));
}

std::vector<DecodingValue> DecodingValue::elements() const {
    if (!value_->is_array()) throwTypeMismatch("Array");
    std::vector<DecodingValue> result;
    result.reserve(value_->size());
    std::size_t index = 0;
    for (const auto& element : *value_) {
        auto path = codingPath_;
        path.push_back(std::to_string(index++));
        result.emplace_back(element, *decoder_, std::move(path));
    }
    return result;
}

std::string DecodingValue::decodeString() const {
    if (!value_->is_string()) throwTypeMismatch("String");
    return value_->get<std::string>();
}

bool DecodingValue::decodeBool() const {
    if (!value_->is_boolean()) throwTypeMismatch("Bool");
    return value_->get<bool>();
}

std::int64_t DecodingValue::decodeInt64() const {
    if (value_->is_number_integer() && !value_->is_number_unsigned()) return value_->get<std::int64_t>();
    if (value_->is_number_unsigned()) {
        const auto number = value_->get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(INT64_MAX)) {
            throwDataCorrupted("Number " + std::to_string(number) + " does not fit in Int.");
        }
        return static_cast<std::int64_t>(number);
    }
    if (value_->is_number_float()) {
        const double number = value_->get<double>();
        if (std::trunc(number) != number || number < -9.2233720368547758e18 ||
            number >= 9.2233720368547758e18) {
            throwDataCorrupted("Parsed JSON number <" + value_->dump() + "> does not fit in Int.");
        }
        return static_cast<std::int64_t>(number);
    }
    throwTypeMismatch("Int");
}

double DecodingValue::decodeDouble() const {
    if (!value_->is_number()) throwTypeMismatch("Double");
    return value_->get<double>();
}

Date DecodingValue::decodeDate() const {
    if (decoder_->dateDecodingStrategy) return decoder_->dateDecodingStrategy(*this);
    const double seconds = decodeDouble() + kReferenceDateOffset;
    // A Date counts nanoseconds in 64 bits (about the years 1678 to 2262);
    // converting a number beyond that would be undefined.
    if (!(std::fabs(seconds) < 9.2e9)) throwDataCorrupted("Date " + json().dump() + " is out of range.");
    return Date(std::chrono::duration_cast<Date::duration>(std::chrono::duration<double>(seconds)));
}

// ---- JSONDecoder ----

void JSONDecoder::decodeRoot(std::string_view text,
                             const std::function<void(const DecodingValue&)>& body) const {
    if (exceedsDepth(text, maxNestingDepth)) {
        throw DecodingError(DecodingError::Kind::dataCorrupted, {},
                            "The given data was not valid JSON: nested deeper than " +
                                std::to_string(maxNestingDepth) + " levels.");
    }
    json root;
    try {
        root = json::parse(text.begin(), text.end());
    } catch (const json::exception& error) {
        throw DecodingError(DecodingError::Kind::dataCorrupted, {},
                            std::string("The given data was not valid JSON. ") + error.what());
    }
    if (keyDecodingStrategy == KeyDecodingStrategy::convertFromSnakeCase) convertKeys(root);
    try {
        body(DecodingValue(root, *this));
    } catch (const json::exception& error) {
        // Decode functions that read the JSON directly fail the same way as the typed accessors.
        throw DecodingError(DecodingError::Kind::dataCorrupted, {}, error.what());
    }
}

std::shared_ptr<const JSONDecoder> JSONDecoder::shared() {
    std::lock_guard lock(sharedMutex());
    return sharedDecoder();
}

void JSONDecoder::setShared(std::shared_ptr<const JSONDecoder> decoder) {
    if (!decoder) return;
    std::lock_guard lock(sharedMutex());
    sharedDecoder() = std::move(decoder);
}

// ---- the service's dates ----

std::optional<Date> parseServiceDate(std::string_view text) {
    if (text.size() != 14) return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    auto number = [&](std::size_t offset, std::size_t length) {
        int value = 0;
        for (std::size_t i = offset; i < offset + length; ++i) value = value * 10 + (text[i] - '0');
        return value;
    };
    std::tm fields{};
    fields.tm_year = number(0, 4) - 1900;
    fields.tm_mon = number(4, 2) - 1;
    fields.tm_mday = number(6, 2);
    fields.tm_hour = number(8, 2);
    fields.tm_min = number(10, 2);
    fields.tm_sec = number(12, 2);
    fields.tm_isdst = -1;
    if (fields.tm_mon < 0 || fields.tm_mon > 11 || fields.tm_mday < 1 || fields.tm_hour > 23 ||
        fields.tm_min > 59 || fields.tm_sec > 59) {
        return std::nullopt;
    }
    const std::tm requested = fields;
    const std::time_t seconds = std::mktime(&fields);
    if (seconds == static_cast<std::time_t>(-1) && !(requested.tm_year == 69 && requested.tm_mon == 11)) {
        return std::nullopt;
    }
    // mktime normalises 31 February into March: such a date does not exist.
    if (fields.tm_mday != requested.tm_mday || fields.tm_mon != requested.tm_mon) return std::nullopt;
    // A Date holds the years 1678 to 2262 (nanoseconds in 64 bits); later or
    // earlier ones would overflow.
    using Seconds = std::chrono::seconds;
    constexpr auto limit = std::chrono::duration_cast<Seconds>(Date::duration::max()).count();
    if (seconds >= limit || seconds <= -limit) return std::nullopt;
    return std::chrono::system_clock::from_time_t(seconds);
}

std::string formatServiceDate(Date date) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(date);
    std::tm fields{};
    localtime_r(&seconds, &fields);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d%H%M%S", &fields);
    return buffer;
}

Date decodeServiceDate(const DecodingValue& value) {
    const std::string text = value.decodeString();
    if (auto date = parseServiceDate(text)) return *date;
    value.throwDataCorrupted("Invalid date: " + text);
}

}  // namespace ovira

#include "ovira/JSONEncoder.h"

#include <cmath>
#include <mutex>
#include <nlohmann/json.hpp>

#include "network/KeyConversion.h"

namespace ovira {
namespace {

using json = nlohmann::json;

std::mutex& sharedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<const JSONEncoder>& sharedEncoder() {
    static std::shared_ptr<const JSONEncoder> encoder = [] {
        auto e = std::make_shared<JSONEncoder>();
        e->keyEncodingStrategy = JSONEncoder::KeyEncodingStrategy::convertToSnakeCase;
        return std::shared_ptr<const JSONEncoder>(std::move(e));
    }();
    return encoder;
}

}  // namespace

EncodingValue::EncodingValue(nlohmann::json& target, const JSONEncoder& encoder,
                             std::vector<std::string> codingPath)
    : target_(&target), encoder_(&encoder), codingPath_(std::move(codingPath)) {}

void EncodingValue::encodeNull() {
    *target_ = nullptr;
}

void EncodingValue::encodeString(std::string_view text) {
    if (!isValidUTF8(text)) throw EncodingError(codingPath_, "String is not valid UTF-8.");
    *target_ = std::string(text);
}

void EncodingValue::encodeBool(bool value) {
    *target_ = value;
}

void EncodingValue::encodeInt64(std::int64_t value) {
    *target_ = value;
}

void EncodingValue::encodeDouble(double value) {
    if (!std::isfinite(value)) {
        throw EncodingError(codingPath_, "Unable to encode " + std::to_string(value) + " directly in JSON.");
    }
    *target_ = value;
}

void EncodingValue::encodeDate(Date date) {
    if (encoder_->dateEncodingStrategy) {
        encoder_->dateEncodingStrategy(date, *this);
        return;
    }
    const double seconds =
        std::chrono::duration<double>(date.time_since_epoch()).count() - kReferenceDateOffset;
    encodeDouble(seconds);
}

EncodingValue EncodingValue::member(std::string_view key) {
    if (!target_->is_object()) *target_ = json::object();
    if (!isValidUTF8(key)) throw EncodingError(codingPath_, "Key is not valid UTF-8.");
    std::string name = encoder_->keyEncodingStrategy == JSONEncoder::KeyEncodingStrategy::convertToSnakeCase
                           ? convertToSnakeCase(key)
                           : std::string(key);
    auto path = codingPath_;
    path.emplace_back(key);
    nlohmann::json& slot = (*target_)[name];
    slot = nullptr;
    return EncodingValue(slot, *encoder_, std::move(path));
}

void EncodingValue::makeArray() {
    if (!target_->is_array()) *target_ = json::array();
}

EncodingValue EncodingValue::appendElement() {
    makeArray();
    auto path = codingPath_;
    path.push_back(std::to_string(target_->size()));
    target_->push_back(nullptr);
    return EncodingValue(target_->back(), *encoder_, std::move(path));
}

Data JSONEncoder::encodeRoot(const std::function<void(EncodingValue&)>& body) const {
    json root;
    EncodingValue value(root, *this);
    body(value);
    try {
        return makeData(root.dump());
    } catch (const json::exception& error) {
        throw EncodingError({}, error.what());
    }
}

std::shared_ptr<const JSONEncoder> JSONEncoder::shared() {
    std::lock_guard lock(sharedMutex());
    return sharedEncoder();
}

void JSONEncoder::setShared(std::shared_ptr<const JSONEncoder> encoder) {
    if (!encoder) return;
    std::lock_guard lock(sharedMutex());
    sharedEncoder() = std::move(encoder);
}

}  // namespace ovira

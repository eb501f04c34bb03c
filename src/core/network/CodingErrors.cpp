#include "ovira/CodingErrors.h"

namespace ovira {

std::string joinCodingPath(const std::vector<std::string>& codingPath) {
    std::string joined;
    for (const auto& component : codingPath) {
        if (!joined.empty()) joined += '.';
        joined += component;
    }
    return joined;
}

const char* toString(DecodingError::Kind kind) {
    switch (kind) {
        case DecodingError::Kind::typeMismatch:
            return "typeMismatch";
        case DecodingError::Kind::valueNotFound:
            return "valueNotFound";
        case DecodingError::Kind::keyNotFound:
            return "keyNotFound";
        case DecodingError::Kind::dataCorrupted:
            return "dataCorrupted";
    }
    return "unknown";
}

DecodingError::DecodingError(Kind kind, std::vector<std::string> codingPath, std::string debugDescription)
    : kind_(kind), codingPath_(std::move(codingPath)), debugDescription_(std::move(debugDescription)) {
    description_ = toString(kind_);
    if (!codingPath_.empty()) description_ += " at " + codingPathString();
    description_ += ": " + debugDescription_;
}

std::string DecodingError::redactedDescription() const {
    if (kind_ != Kind::dataCorrupted) return description_;
    std::string text = toString(kind_);
    if (!codingPath_.empty()) text += " at " + codingPathString();
    return text;
}

std::string DecodingError::codingPathString() const {
    return joinCodingPath(codingPath_);
}

EncodingError::EncodingError(std::vector<std::string> codingPath, std::string debugDescription)
    : codingPath_(std::move(codingPath)), debugDescription_(std::move(debugDescription)) {
    description_ = "invalidValue";
    if (!codingPath_.empty()) description_ += " at " + joinCodingPath(codingPath_);
    description_ += ": " + debugDescription_;
}

}  // namespace ovira

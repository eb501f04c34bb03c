#pragma once

#include <exception>
#include <string>
#include <vector>

namespace ovira {

// Why a JSON value could not become the expected type. Thrown by JSONDecoder
// and by the decode functions of the library's models.
class DecodingError : public std::exception {
public:
    enum class Kind { typeMismatch, valueNotFound, keyNotFound, dataCorrupted };

    DecodingError(Kind kind, std::vector<std::string> codingPath, std::string debugDescription);

    Kind kind() const { return kind_; }
    const std::vector<std::string>& codingPath() const { return codingPath_; }
    const std::string& debugDescription() const { return debugDescription_; }

    // "data.fields.3.value": the path of keys and indices to the failing value.
    std::string codingPathString() const;

    // Kind, path and description.
    const char* what() const noexcept override { return description_.c_str(); }

    // Kind and path only: descriptions of corrupted data quote the input
    // (a date, a fragment of the body), which may be identity data.
    std::string redactedDescription() const;

private:
    Kind kind_;
    std::vector<std::string> codingPath_;
    std::string debugDescription_;
    std::string description_;
};

const char* toString(DecodingError::Kind kind);

// Why a value could not be written as JSON (a non-finite number, text that is
// not UTF-8).
class EncodingError : public std::exception {
public:
    EncodingError(std::vector<std::string> codingPath, std::string debugDescription);

    const std::vector<std::string>& codingPath() const { return codingPath_; }
    const std::string& debugDescription() const { return debugDescription_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    std::vector<std::string> codingPath_;
    std::string debugDescription_;
    std::string description_;
};

std::string joinCodingPath(const std::vector<std::string>& codingPath);

}  // namespace ovira

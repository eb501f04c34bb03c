#pragma once

#include <exception>
#include <string>
#include <vector>

namespace ovira {

/// Why a JSON value could not become the expected type. Thrown by JSONDecoder
/// and by the decode functions of the library's models.
class DecodingError : public std::exception {
public:
    /// What went wrong.
    enum class Kind {
        typeMismatch,   ///< the value has another JSON type than the one expected
        valueNotFound,  ///< null where a value is required
        keyNotFound,    ///< a required member is absent
        dataCorrupted,  ///< not JSON, or a value that cannot be what it claims (a date, a number too large)
    };

    /// The error at `codingPath` (keys and indices from the root), with a
    /// description for diagnostics.
    DecodingError(Kind kind, std::vector<std::string> codingPath, std::string debugDescription);

    /// What went wrong.
    Kind kind() const { return kind_; }
    /// The keys and indices from the root to the failing value.
    const std::vector<std::string>& codingPath() const { return codingPath_; }
    /// The details, which may quote the input.
    const std::string& debugDescription() const { return debugDescription_; }

    /// "data.fields.3.value": the path of keys and indices to the failing value.
    std::string codingPathString() const;

    /// Kind, path and description.
    const char* what() const noexcept override { return description_.c_str(); }

    /// Kind and path only: descriptions of corrupted data quote the input
    /// (a date, a fragment of the body), which may be identity data.
    std::string redactedDescription() const;

private:
    Kind kind_;
    std::vector<std::string> codingPath_;
    std::string debugDescription_;
    std::string description_;
};

/// "typeMismatch", "valueNotFound", "keyNotFound" or "dataCorrupted".
const char* toString(DecodingError::Kind kind);

/// Why a value could not be written as JSON (a non-finite number, text that is
/// not UTF-8).
class EncodingError : public std::exception {
public:
    /// The error at `codingPath` (keys and indices from the root).
    EncodingError(std::vector<std::string> codingPath, std::string debugDescription);

    /// The keys and indices from the root to the failing value.
    const std::vector<std::string>& codingPath() const { return codingPath_; }
    /// The details.
    const std::string& debugDescription() const { return debugDescription_; }
    /// Path and description.
    const char* what() const noexcept override { return description_.c_str(); }

private:
    std::vector<std::string> codingPath_;
    std::string debugDescription_;
    std::string description_;
};

/// The path's keys and indices joined with dots: "data.fields.3.value".
std::string joinCodingPath(const std::vector<std::string>& codingPath);

}  // namespace ovira

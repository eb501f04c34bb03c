#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ovira/Data.h"

namespace ovira {

// One part of a multipart/form-data body.
class MultipartFormDataType {
public:
    virtual ~MultipartFormDataType() = default;
    // The part's bytes, starting with its "--<boundary>" line.
    virtual Data getData(const std::string& boundary) const = 0;
};

// Builds a whole multipart/form-data body.
class MultipartFormDataBuilderType {
public:
    virtual ~MultipartFormDataBuilderType() = default;
    virtual const std::string& boundary() = 0;
    virtual Data build() = 0;
};

// Separator characters and MIME types of the format.
struct EKYCMultipartFormDataChars {
    static constexpr const char* crlf = "\r\n";
    static constexpr const char* dashes = "--";
};
struct EKYCMultipartFormDataMimeType {
    static constexpr const char* octetStream = "application/octet-stream";
    static constexpr const char* jpeg = "image/jpeg";
};

using MultipartForms = std::vector<std::shared_ptr<const MultipartFormDataType>>;

// A text field, in-memory bytes, or a file read when the body is built.
class MultipartFormData : public MultipartFormDataType {
public:
    struct String {
        std::string value;
    };
    struct File {
        std::filesystem::path url;
    };
    using Provider = std::variant<String, Data, File>;

    MultipartFormData(Provider provider, std::string name, std::optional<std::string> fileName = std::nullopt,
                      std::optional<std::string> mimeType = std::nullopt);

    // Text parts ignore fileName and mimeType. Byte parts use them, defaulting
    // to "file" and application/octet-stream. File parts take the file's own
    // name and the MIME type of its extension; an unreadable file yields no
    // bytes at all, so the part is simply left out.
    Data getData(const std::string& boundary) const override;

    const Provider& provider() const { return provider_; }
    const std::string& name() const { return name_; }
    const std::optional<std::string>& fileName() const { return fileName_; }
    const std::optional<std::string>& mimeType() const { return mimeType_; }

private:
    Provider provider_;
    std::string name_;
    std::optional<std::string> fileName_;
    std::optional<std::string> mimeType_;
};

class EKYCMultipartFormDataBuilder : public MultipartFormDataBuilderType {
public:
    explicit EKYCMultipartFormDataBuilder(MultipartForms forms);

    // "networking.boundary." and 16 random hexadecimal digits, drawn on
    // first read and kept.
    const std::string& boundary() override;

    // Appends every part and the closing line to the stored body and returns
    // it. A second call appends everything again.
    Data build() override;

    const Data& httpBody() const { return httpBody_; }

private:
    std::optional<std::string> boundary_;
    Data httpBody_;
    MultipartForms forms_;
};

}  // namespace ovira

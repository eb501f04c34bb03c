#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ovira/Data.h"

namespace ovira {

/// One part of a multipart/form-data body.
class MultipartFormDataType {
public:
    virtual ~MultipartFormDataType() = default;
    /// The part's bytes, starting with its "--<boundary>" line.
    virtual Data getData(const std::string& boundary) const = 0;
};

/// Builds a whole multipart/form-data body.
class MultipartFormDataBuilderType {
public:
    virtual ~MultipartFormDataBuilderType() = default;
    /// The line that separates the parts (without its leading dashes).
    virtual const std::string& boundary() = 0;
    /// The whole body.
    virtual Data build() = 0;
};

/// Separator characters and MIME types of the format.
struct EKYCMultipartFormDataChars {
    static constexpr const char* crlf = "\r\n";  ///< ends every line
    static constexpr const char* dashes = "--";  ///< before every boundary
};
/// The MIME types of byte parts.
struct EKYCMultipartFormDataMimeType {
    static constexpr const char* octetStream = "application/octet-stream";  ///< any bytes, the default
    static constexpr const char* jpeg = "image/jpeg";                       ///< a photograph
};

/// The parts of a body, in order.
using MultipartForms = std::vector<std::shared_ptr<const MultipartFormDataType>>;

/// A text field, in-memory bytes, or a file read when the body is built.
class MultipartFormData : public MultipartFormDataType {
public:
    /// A text field's value.
    struct String {
        std::string value;  ///< the text
    };
    /// A file whose bytes are read when the body is built.
    struct File {
        std::filesystem::path url;  ///< the file
    };
    /// Where a part's content comes from.
    using Provider = std::variant<String, Data, File>;

    /// The part `name` (the form field's name) with its content; fileName and
    /// mimeType apply to byte parts (see getData()).
    MultipartFormData(Provider provider, std::string name, std::optional<std::string> fileName = std::nullopt,
                      std::optional<std::string> mimeType = std::nullopt);

    /// Text parts ignore fileName and mimeType. Byte parts use them, defaulting
    /// to "file" and application/octet-stream. File parts take the file's own
    /// name and the MIME type of its extension; an unreadable file yields no
    /// bytes at all, so the part is simply left out.
    Data getData(const std::string& boundary) const override;

    ///@{
    /// What the part was made with.
    const Provider& provider() const { return provider_; }
    const std::string& name() const { return name_; }
    const std::optional<std::string>& fileName() const { return fileName_; }
    const std::optional<std::string>& mimeType() const { return mimeType_; }
    ///@}

private:
    Provider provider_;
    std::string name_;
    std::optional<std::string> fileName_;
    std::optional<std::string> mimeType_;
};

/// Builds the multipart/form-data body of the parts, in their order.
class EKYCMultipartFormDataBuilder : public MultipartFormDataBuilderType {
public:
    /// A builder of a body of `forms`.
    explicit EKYCMultipartFormDataBuilder(MultipartForms forms);

    /// "networking.boundary." and 16 random hexadecimal digits, drawn on
    /// first read and kept.
    const std::string& boundary() override;

    /// Appends every part and the closing line to the stored body and returns
    /// it. A second call appends everything again.
    Data build() override;

    /// The body built so far.
    const Data& httpBody() const { return httpBody_; }

private:
    std::optional<std::string> boundary_;
    Data httpBody_;
    MultipartForms forms_;
};

}  // namespace ovira

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ovira {

// The preferred MIME type of a file-name extension ("jpg" → "image/jpeg"):
// from the shared MIME-info database when the system has one, otherwise from
// a built-in table of common types. Case-insensitive; nothing when unknown.
std::optional<std::string> preferredMIMEType(std::string_view filenameExtension);

}  // namespace ovira

#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace ovira {

// The whole content of a regular file, or nothing when it cannot be read.
std::optional<std::string> readFileContents(const std::filesystem::path& path);

}  // namespace ovira

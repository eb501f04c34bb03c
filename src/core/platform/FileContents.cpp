#include "platform/FileContents.h"

#include <fstream>
#include <iterator>

namespace ovira {

std::optional<std::string> readFileContents(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::nullopt;
    return contents;
}

}  // namespace ovira

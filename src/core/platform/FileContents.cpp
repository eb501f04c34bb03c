#include "platform/FileContents.h"

#include <fstream>

namespace ovira {

std::optional<std::string> readFileContents(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    // In large blocks: a photograph is read for every upload, and reading it
    // a character at a time cost more than sending it over loopback.
    std::string contents;
    if (const auto size = std::filesystem::file_size(path, error); !error) contents.reserve(size);
    char block[64 * 1024];
    while (file.read(block, sizeof block) || file.gcount() > 0)
        contents.append(block, static_cast<std::size_t>(file.gcount()));
    if (file.bad()) return std::nullopt;
    return contents;
}

}  // namespace ovira

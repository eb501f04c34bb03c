#include "support/TemporaryDirectory.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>
#include <string>

namespace ovira::test {

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ovira-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::filesystem::path TemporaryDirectory::write(const std::filesystem::path& name,
                                                std::string_view contents) const {
    const auto file = path_ / name;
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!stream.flush()) throw std::runtime_error("cannot write " + file.string());
    return file;
}

}  // namespace ovira::test

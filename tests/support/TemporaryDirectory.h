#pragma once

#include <filesystem>
#include <string_view>

namespace ovira::test {

// A fresh folder under the system's temporary folder, removed with its
// contents on destruction.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& child) const { return path_ / child; }

    // Writes `contents` as they are into the file `name` in the folder; its path.
    std::filesystem::path write(const std::filesystem::path& name, std::string_view contents) const;

private:
    std::filesystem::path path_;
};

}  // namespace ovira::test

#include "platform/UniformTypeIdentifiers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ovira {
namespace {

TEST(UniformTypeIdentifiersTest, CommonTypesInAnyCaseAndNothingForTheUnknown) {
    const std::vector<std::pair<const char*, std::optional<std::string>>> cases{
        {"jpg", "image/jpeg"},         {"JPG", "image/jpeg"},  {"jPeG", "image/jpeg"},
        {"png", "image/png"},          {"PNG", "image/png"},   {"pdf", "application/pdf"},
        {"json", "application/json"},  {"mp4", "video/mp4"},   {"", std::nullopt},
        {"qzxnotatype", std::nullopt}, {"jpg ", std::nullopt},
    };
    for (const auto& [extension, type] : cases) EXPECT_EQ(preferredMIMEType(extension), type) << extension;
}

// Where the system's database tells "foo.c" from "foo.C", the exact case
// decides; case folding is only for extensions no type claims in that case.
TEST(UniformTypeIdentifiersTest, CaseSensitiveEntriesOfTheSystemDatabase) {
    const auto lower = preferredMIMEType("c");
    if (!lower) GTEST_SKIP() << "no shared MIME-info database";
    EXPECT_EQ(lower, "text/x-csrc");
    EXPECT_EQ(preferredMIMEType("C"), "text/x-c++src");
}

}  // namespace
}  // namespace ovira

#include "platform/UniformTypeIdentifiers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ovira {
namespace {

TEST(UniformTypeIdentifiersTest, JPEGInAnyCase) {
    for (const char* extension : {"jpg", "JPG", "Jpg", "jpeg", "JPEG", "jPeG"})
        EXPECT_EQ(preferredMIMEType(extension), "image/jpeg") << extension;
}

TEST(UniformTypeIdentifiersTest, PNGInAnyCase) {
    EXPECT_EQ(preferredMIMEType("png"), "image/png");
    EXPECT_EQ(preferredMIMEType("PNG"), "image/png");
}

TEST(UniformTypeIdentifiersTest, OtherCommonTypes) {
    EXPECT_EQ(preferredMIMEType("pdf"), "application/pdf");
    EXPECT_EQ(preferredMIMEType("json"), "application/json");
    EXPECT_EQ(preferredMIMEType("gif"), "image/gif");
    EXPECT_EQ(preferredMIMEType("txt"), "text/plain");
    EXPECT_EQ(preferredMIMEType("mp4"), "video/mp4");
}

TEST(UniformTypeIdentifiersTest, NothingForUnknownOrEmpty) {
    EXPECT_EQ(preferredMIMEType(""), std::nullopt);
    EXPECT_EQ(preferredMIMEType("qzxnotatype"), std::nullopt);
    EXPECT_EQ(preferredMIMEType("*"), std::nullopt);
    EXPECT_EQ(preferredMIMEType("jpg "), std::nullopt);
}

// Where the system's database tells "foo.c" from "foo.C", the exact case
// decides; case folding is only for extensions no type claims in that case.
TEST(UniformTypeIdentifiersTest, CaseSensitiveEntriesOfTheSystemDatabase) {
    const auto lower = preferredMIMEType("c");
    if (!lower) GTEST_SKIP() << "no shared MIME-info database";
    EXPECT_EQ(lower, "text/x-csrc");
    EXPECT_EQ(preferredMIMEType("C"), "text/x-c++src");
}

TEST(UniformTypeIdentifiersTest, SameAnswersFromSeveralThreads) {
    std::vector<std::thread> threads;
    std::vector<std::optional<std::string>> results(8);
    for (std::size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&results, t] { results[t] = preferredMIMEType(t % 2 ? "JPG" : "jpeg"); });
    }
    for (auto& thread : threads) thread.join();
    for (const auto& result : results) EXPECT_EQ(result, "image/jpeg");
}

}  // namespace
}  // namespace ovira

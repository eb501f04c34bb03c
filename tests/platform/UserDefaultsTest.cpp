#include "ovira/UserDefaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "ovira/MainBundle.h"
#include "support/LogCapture.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

using json = nlohmann::json;
namespace fs = std::filesystem;

// The file as JSON; discarded when it is not valid JSON.
json readJson(const fs::path& file) {
    return json::parse(std::ifstream(file), nullptr, false);
}

std::ptrdiff_t entryCount(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

class UserDefaultsTest : public testing::Test {
protected:
    test::TemporaryDirectory directory;
    // In a folder that does not exist yet: the store makes it.
    fs::path folder = directory / "Application";
    fs::path file = folder / "UserDefaults.json";
};

// Every change is on disk at once, in a private file in a private folder: a
// second store opened while the first is still alive sees the values, with
// their types, and none of the removed keys. The file is replaced, never
// rewritten in place: a reader that opened it before the writes still reads
// the old contents in full.
TEST_F(UserDefaultsTest, ChangesReachAPrivateFileAtOnceByReplacingIt) {
    // With an open umask, anything the store does not restrict itself shows.
    const mode_t oldMask = ::umask(0);
    UserDefaults store(file);
    store.setString("name", "Grace");
    std::ifstream openedBefore(file, std::ios::binary);
    store.setObject("count", 42);
    store.setObject("nested", {{"list", {1, "two"}}});
    store.setString("removed", "x");
    store.removeObject("removed");
    store.setObject("count", nullptr);
    ::umask(oldMask);
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(json::parse(openedBefore, nullptr, false), (json{{"name", "Grace"}}));
    EXPECT_EQ(entryCount(folder), 1) << "a temporary file was left behind";

    UserDefaults reopened(file);
    EXPECT_EQ(reopened.string("name"), "Grace");
    EXPECT_EQ(reopened.object("nested"), (json{{"list", {1, "two"}}}));
    EXPECT_EQ(reopened.string("nested"), std::nullopt);  // string() answers only for strings
    EXPECT_FALSE(reopened.contains("removed"));
    EXPECT_FALSE(reopened.contains("count"));
}

// A write fails without throwing, and synchronize() says so, while a folder
// stands where the file should be (the write fails after making its temporary
// file, which must go) or a file where the folder should be, until the way is
// cleared; and text that is not UTF-8 fails, keeping the file as it was.
TEST_F(UserDefaultsTest, FailedWritesDoNotThrowAndLeaveNothingBehind) {
    test::LogCapture quiet;
    for (const fs::path& blocker : {file, folder}) {
        SCOPED_TRACE(blocker);
        fs::remove_all(folder);
        if (blocker == file) fs::create_directories(file);
        if (blocker == folder) std::ofstream(folder) << "in the way";
        UserDefaults store(file);
        EXPECT_NO_THROW(store.setString("name", "Ada"));
        EXPECT_FALSE(store.synchronize());
        EXPECT_EQ(entryCount(blocker.parent_path()), 1) << "a temporary file was left behind";
        fs::remove_all(blocker);
        EXPECT_TRUE(store.synchronize());
        EXPECT_EQ(readJson(file), (json{{"name", "Ada"}}));
    }

    fs::remove_all(folder);
    UserDefaults store(file);
    store.setString("good", "value");
    EXPECT_NO_THROW(store.setString("bad", "\xff\xfe"));
    EXPECT_FALSE(store.synchronize());
    EXPECT_EQ(readJson(file), (json{{"good", "value"}}));
}

// A file cut short, garbage, the wrong kind of JSON or nothing reads as empty
// and is replaced by the next write.
TEST_F(UserDefaultsTest, ADamagedFileReadsAsEmptyAndIsReplacedByTheNextWrite) {
    test::LogCapture quiet;
    fs::create_directories(folder);
    for (const std::string& contents :
         {std::string(R"({"name": "Ada", "ci)"), std::string("\x00\x13garbage\xff{", 11),
          std::string(R"(["name", "Ada"])"), std::string()}) {
        std::ofstream(file, std::ios::binary) << contents;
        UserDefaults store(file);
        EXPECT_FALSE(store.contains("name")) << contents;
        store.setString("fresh", "start");
        EXPECT_EQ(readJson(file), (json{{"fresh", "start"}})) << contents;
    }
}

// Writers on several threads whose writes fail fast (a file stands where the
// folder should be), so that they contend for the store all the time. Once the
// way is clear, every key reaches the disk.
TEST_F(UserDefaultsTest, ConcurrentWritersLoseNoKeys) {
    constexpr int kThreads = 4, kKeys = 200;
    test::LogCapture quiet;
    std::ofstream(folder) << "in the way";
    UserDefaults store(file);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int k = 0; k < kKeys; ++k) store.setObject(std::to_string(t) + "-" + std::to_string(k), k);
        });
    }
    for (auto& thread : threads) thread.join();
    fs::remove(folder);
    store.synchronize();
    EXPECT_EQ(readJson(file).size(), static_cast<std::size_t>(kThreads * kKeys));
}

// The bundle identifier names the store's folder under $XDG_DATA_HOME, unless
// it is no single folder name: then the executable's name does. The last case
// leaves the host without an identifier, as the tests found it.
TEST(ApplicationDataDirectoryTest, IsTheBundleIdentifierWhenItNamesOneFolder) {
    const fs::path dataHome = std::getenv("XDG_DATA_HOME");  // the test main sets it
    MainBundle::main().setObject("CFBundleIdentifier", "com.example.host");
    EXPECT_EQ(applicationDataDirectory(), dataHome / "com.example.host");
    for (const json& unusable : {json(12), json("../escape"), json(".."), json()}) {
        MainBundle::main().setObject("CFBundleIdentifier", unusable);
        EXPECT_EQ(applicationDataDirectory(), dataHome / "platform_tests") << unusable;
    }
}

}  // namespace
}  // namespace ovira

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

// Every change is on disk at once: a second store opened while the first is
// still alive sees the values, with their types, and none of the removed keys.
TEST_F(UserDefaultsTest, ValuesPersistAcrossInstances) {
    UserDefaults store(file);
    store.setString("name", "Grace");
    store.setObject("count", 42);
    store.setObject("nested", {{"list", {1, "two"}}});
    store.setString("removed", "x");
    store.removeObject("removed");
    store.setObject("count", nullptr);

    UserDefaults reopened(file);
    EXPECT_EQ(reopened.string("name"), "Grace");
    EXPECT_EQ(reopened.object("nested"), (json{{"list", {1, "two"}}}));
    EXPECT_EQ(reopened.string("nested"), std::nullopt);  // string() answers only for strings
    EXPECT_FALSE(reopened.contains("removed"));
    EXPECT_FALSE(reopened.contains("count"));
}

TEST_F(UserDefaultsTest, FileIsPrivateInAPrivateFolder) {
    // With an open umask, anything the store does not restrict itself shows.
    const mode_t oldMask = ::umask(0);
    UserDefaults(file).setString("token", "secret");
    ::umask(oldMask);
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// The store is replaced, never rewritten in place: a reader that opened the
// file before the writes still reads the old contents in full.
TEST_F(UserDefaultsTest, WritesReplaceTheFileAtomically) {
    UserDefaults store(file);
    store.setString("step", "one");
    std::ifstream openedBefore(file, std::ios::binary);
    for (int i = 0; i < 10; ++i) store.setObject("key" + std::to_string(i), i);
    EXPECT_EQ(json::parse(openedBefore, nullptr, false), (json{{"step", "one"}}));
    EXPECT_EQ(entryCount(folder), 1) << "a temporary file was left behind";
}

// A folder where the file should be (the write fails after making its
// temporary file, which must go) or a file where the folder should be.
TEST_F(UserDefaultsTest, UnwritableLocationFailsWithoutThrowingUntilCleared) {
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
}

TEST_F(UserDefaultsTest, TextThatIsNotUTF8FailsWithoutThrowingAndKeepsTheFile) {
    test::LogCapture quiet;
    UserDefaults store(file);
    store.setString("good", "value");
    EXPECT_NO_THROW(store.setString("bad", "\xff\xfe"));
    EXPECT_FALSE(store.synchronize());
    EXPECT_EQ(readJson(file), (json{{"good", "value"}}));
}

struct DamagedStore {
    const char* name;
    std::string contents;
};

class UserDefaultsDamagedFileTest : public UserDefaultsTest,
                                    public testing::WithParamInterface<DamagedStore> {};

TEST_P(UserDefaultsDamagedFileTest, ReadsAsEmptyAndIsReplacedByTheNextWrite) {
    test::LogCapture quiet;
    fs::create_directories(folder);
    std::ofstream(file, std::ios::binary) << GetParam().contents;
    UserDefaults store(file);
    store.setString("fresh", "start");
    EXPECT_EQ(readJson(file), (json{{"fresh", "start"}}));
}

INSTANTIATE_TEST_SUITE_P(Contents, UserDefaultsDamagedFileTest,
                         testing::Values(DamagedStore{"Truncated", R"({"name": "Ada", "ci)"},
                                         DamagedStore{"Garbage", std::string("\x00\x13garbage\xff{", 11)},
                                         DamagedStore{"Array", R"(["name", "Ada"])"},
                                         DamagedStore{"Empty", ""}),
                         [](const auto& param) { return std::string(param.param.name); });

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

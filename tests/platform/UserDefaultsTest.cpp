#include "ovira/UserDefaults.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
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

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

// The file as JSON; fails the test (and gives null) when it is not valid JSON.
json readJson(const fs::path& file) {
    json value = json::parse(readText(file), nullptr, /*allow_exceptions=*/false);
    EXPECT_FALSE(value.is_discarded()) << file << " does not hold valid JSON: " << readText(file);
    return value.is_discarded() ? json() : value;
}

unsigned permissions(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::set<std::string> folderEntries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

// Sets a variable of the environment for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Sets the host's bundle identifier for one scope (null removes it).
class ScopedBundleIdentifier {
public:
    explicit ScopedBundleIdentifier(const json& identifier)
        : old_(MainBundle::main().objectForInfoDictionaryKey("CFBundleIdentifier")) {
        MainBundle::main().setObject("CFBundleIdentifier", identifier);
    }
    ~ScopedBundleIdentifier() { MainBundle::main().setObject("CFBundleIdentifier", old_); }
    ScopedBundleIdentifier(const ScopedBundleIdentifier&) = delete;
    ScopedBundleIdentifier& operator=(const ScopedBundleIdentifier&) = delete;

private:
    json old_;
};

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t old_;
};

class UserDefaultsTest : public testing::Test {
protected:
    test::TemporaryDirectory directory;
    // In a folder that does not exist yet: the store makes it.
    fs::path folder = directory / "Application";
    fs::path file = folder / "UserDefaults.json";
};

TEST_F(UserDefaultsTest, MissingFileIsAnEmptyStoreAndReadingDoesNotCreateIt) {
    UserDefaults store(file);
    EXPECT_FALSE(store.contains("name"));
    EXPECT_EQ(store.string("name"), std::nullopt);
    EXPECT_TRUE(store.object("name").is_null());
    EXPECT_TRUE(store.synchronize());  // nothing to write
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(store.file(), file);
}

TEST_F(UserDefaultsTest, ValuesPersistAcrossInstances) {
    {
        UserDefaults store(file);
        store.setString("name", "Ada");
        store.setString("city", "Hanoi");
        store.setString("name", "Grace");  // replaces
        EXPECT_EQ(store.string("name"), "Grace");
        EXPECT_TRUE(store.synchronize());
    }
    UserDefaults reopened(file);
    EXPECT_EQ(reopened.string("name"), "Grace");
    EXPECT_EQ(reopened.string("city"), "Hanoi");
    EXPECT_EQ(readJson(file), (json{{"name", "Grace"}, {"city", "Hanoi"}}));
}

TEST_F(UserDefaultsTest, EveryChangeIsOnDiskAtOnce) {
    UserDefaults writer(file);
    writer.setString("step", "one");
    EXPECT_EQ(UserDefaults(file).string("step"), "one");
    writer.setString("step", "two");
    EXPECT_EQ(UserDefaults(file).string("step"), "two");
    writer.removeObject("step");
    EXPECT_FALSE(UserDefaults(file).contains("step"));
}

TEST_F(UserDefaultsTest, NonStringValuesKeepTheirType) {
    const json nested = {{"list", {1, "two", 3.5, nullptr}}, {"flag", false}};
    {
        UserDefaults store(file);
        store.setObject("count", 42);
        store.setObject("large", std::int64_t{9007199254740993});  // not exact as a double
        store.setObject("ratio", 0.25);
        store.setObject("enabled", true);
        store.setObject("nested", nested);
        store.setString("empty", "");
    }
    UserDefaults store(file);
    EXPECT_TRUE(store.object("count").is_number_integer());
    EXPECT_EQ(store.object("count"), 42);
    EXPECT_EQ(store.object("large").get<std::int64_t>(), 9007199254740993);
    EXPECT_DOUBLE_EQ(store.object("ratio").get<double>(), 0.25);
    EXPECT_EQ(store.object("enabled"), true);
    EXPECT_EQ(store.object("nested"), nested);
    EXPECT_EQ(store.string("empty"), "");
    EXPECT_TRUE(store.contains("empty"));
    // string() answers only for strings; the value itself is still there.
    EXPECT_EQ(store.string("count"), std::nullopt);
    EXPECT_EQ(store.string("nested"), std::nullopt);
    EXPECT_TRUE(store.contains("count"));
}

TEST_F(UserDefaultsTest, RemoveAndNullDeleteTheKeyOnDisk) {
    {
        UserDefaults store(file);
        store.setString("a", "1");
        store.setString("b", "2");
        store.setObject("c", 3);
        store.removeObject("a");
        store.setObject("c", nullptr);
        store.removeObject("never-set");  // harmless
        EXPECT_FALSE(store.contains("a"));
        EXPECT_FALSE(store.contains("c"));
        EXPECT_TRUE(store.object("c").is_null());
    }
    UserDefaults reopened(file);
    EXPECT_FALSE(reopened.contains("a"));
    EXPECT_FALSE(reopened.contains("c"));
    EXPECT_EQ(reopened.string("b"), "2");
    EXPECT_EQ(readJson(file), (json{{"b", "2"}}));
}

TEST_F(UserDefaultsTest, FileIsPrivateInAPrivateFolder) {
    // With an open umask, anything the store does not restrict itself shows.
    ScopedUmask open(0);
    UserDefaults store(file);
    store.setString("token", "secret");
    EXPECT_EQ(permissions(folder), 0700u);
    EXPECT_EQ(permissions(file), 0600u);
    store.setString("token", "rotated");  // a rewrite keeps the mode
    EXPECT_EQ(permissions(file), 0600u);
}

TEST_F(UserDefaultsTest, AnExistingReadableFileBecomesPrivateOnTheNextWrite) {
    fs::create_directories(folder);
    writeText(file, R"({"kept": "yes"})");
    ::chmod(file.c_str(), 0644);
    UserDefaults store(file);
    store.setString("added", "too");
    EXPECT_EQ(permissions(file), 0600u);
    EXPECT_EQ(readJson(file), (json{{"kept", "yes"}, {"added", "too"}}));
}

TEST_F(UserDefaultsTest, LeavesNoTemporaryFilesBehind) {
    UserDefaults store(file);
    for (int i = 0; i < 20; ++i) store.setObject("key" + std::to_string(i % 5), i);
    store.removeObject("key0");
    EXPECT_EQ(folderEntries(folder), std::set<std::string>{"UserDefaults.json"});
}

// A store whose file cannot be replaced (a folder stands in its place) fails
// each write after making its temporary file; none of them may stay.
TEST_F(UserDefaultsTest, FailedWritesLeaveNoTemporaryFilesBehind) {
    test::LogCapture quiet;
    fs::create_directories(file);
    UserDefaults store(file);
    EXPECT_NO_THROW(store.setString("name", "Ada"));
    EXPECT_NO_THROW(store.setObject("count", 1));
    EXPECT_FALSE(store.synchronize());
    EXPECT_EQ(folderEntries(folder), std::set<std::string>{"UserDefaults.json"});
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_FALSE(quiet.text().empty()) << "the failure should be logged";
}

TEST_F(UserDefaultsTest, TextThatIsNotUTF8FailsWithoutThrowingAndKeepsTheFile) {
    test::LogCapture quiet;
    UserDefaults store(file);
    store.setString("good", "value");
    EXPECT_NO_THROW(store.setString("bad", std::string("\xff\xfe", 2)));
    EXPECT_FALSE(store.synchronize());
    EXPECT_EQ(readJson(file), (json{{"good", "value"}}));  // the last good contents
    EXPECT_EQ(folderEntries(folder), std::set<std::string>{"UserDefaults.json"});
    // Once the bad value is gone the store can be written again.
    store.removeObject("bad");
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(readJson(file), (json{{"good", "value"}}));
}

TEST_F(UserDefaultsTest, UnwritableLocationFailsWithoutThrowing) {
    test::LogCapture quiet;
    const auto blocker = directory / "plain-file";
    writeText(blocker, "not a folder");
    UserDefaults store(blocker / "Application" / "UserDefaults.json");
    EXPECT_NO_THROW(store.setString("name", "Ada"));
    EXPECT_NO_THROW(store.removeObject("other"));
    EXPECT_FALSE(store.synchronize());
    EXPECT_FALSE(store.synchronize());  // still failing, still no throw
    // The value lives on in memory; the blocking file is untouched.
    EXPECT_EQ(store.string("name"), "Ada");
    EXPECT_TRUE(fs::is_regular_file(blocker));
    EXPECT_EQ(readText(blocker), "not a folder");
}

TEST_F(UserDefaultsTest, SynchronizeWritesWhatAnEarlierWriteCouldNotStore) {
    test::LogCapture quiet;
    writeText(folder, "in the way");  // a file where the folder should be
    UserDefaults store(file);
    store.setString("name", "Ada");
    store.setObject("count", 2);
    ASSERT_FALSE(store.synchronize());

    fs::remove(folder);
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(readJson(file), (json{{"name", "Ada"}, {"count", 2}}));
    EXPECT_EQ(permissions(file), 0600u);
    EXPECT_TRUE(store.synchronize());  // nothing left to write
}

// What a damaged store file may look like; each reads as an empty store and
// is replaced wholesale by the next write.
struct DamagedStore {
    const char* name;
    std::string contents;
};

class UserDefaultsDamagedFileTest : public UserDefaultsTest, public testing::WithParamInterface<DamagedStore> {};

TEST_P(UserDefaultsDamagedFileTest, ReadsAsEmptyAndIsReplacedByTheNextWrite) {
    test::LogCapture quiet;
    fs::create_directories(folder);
    writeText(file, GetParam().contents);

    UserDefaults store(file);
    EXPECT_FALSE(store.contains("name"));
    EXPECT_FALSE(store.contains("0"));
    EXPECT_TRUE(store.object("name").is_null());

    store.setString("fresh", "start");
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(readJson(file), (json{{"fresh", "start"}}));
    EXPECT_EQ(permissions(file), 0600u);
    EXPECT_EQ(UserDefaults(file).string("fresh"), "start");
}

const std::string kCompleteStore = R"({"name": "Ada", "city": "Hanoi", "count": 12})";

INSTANTIATE_TEST_SUITE_P(
    Contents, UserDefaultsDamagedFileTest,
    testing::Values(DamagedStore{"Truncated", kCompleteStore.substr(0, kCompleteStore.size() / 2)},
                    DamagedStore{"TruncatedBeforeClosingBrace", kCompleteStore.substr(0, kCompleteStore.size() - 1)},
                    DamagedStore{"Garbage", std::string("\x00\x13garbage\xff{", 11)},
                    DamagedStore{"Array", R"(["name", "Ada"])"}, DamagedStore{"Empty", ""},
                    DamagedStore{"String", R"("name")"}, DamagedStore{"Number", "42"}, DamagedStore{"Null", "null"},
                    DamagedStore{"TrailingGarbage", kCompleteStore + " trailing"}),
    [](const testing::TestParamInfo<DamagedStore>& param) { return std::string(param.param.name); });

TEST_F(UserDefaultsTest, ConcurrentWritersLoseNoKeys) {
    constexpr int kThreads = 4;
    constexpr int kKeysPerThread = 30;
    UserDefaults store(file);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            while (!go) std::this_thread::yield();
            for (int k = 0; k < kKeysPerThread; ++k) {
                const std::string key = "t" + std::to_string(t) + "-k" + std::to_string(k);
                if (k % 2 == 0)
                    store.setString(key, key);
                else
                    store.setObject(key, t * 1000 + k);
                (void)store.contains(key);
                (void)store.object("t0-k0");
            }
        });
    }
    go = true;
    for (auto& thread : threads) thread.join();

    const json onDisk = readJson(file);
    UserDefaults reopened(file);
    for (int t = 0; t < kThreads; ++t) {
        for (int k = 0; k < kKeysPerThread; ++k) {
            const std::string key = "t" + std::to_string(t) + "-k" + std::to_string(k);
            const json expected = k % 2 == 0 ? json(key) : json(t * 1000 + k);
            EXPECT_EQ(store.object(key), expected) << key;
            EXPECT_EQ(reopened.object(key), expected) << key;
        }
    }
    EXPECT_EQ(onDisk.size(), static_cast<std::size_t>(kThreads * kKeysPerThread));
    EXPECT_EQ(folderEntries(folder), std::set<std::string>{"UserDefaults.json"});
}

// Someone reading the file while it is rewritten sees the old or the new
// contents, never a partial file: the number of keys only grows.
TEST_F(UserDefaultsTest, ReadersNeverSeeAPartialFile) {
    constexpr int kKeys = 60;
    UserDefaults writer(file);
    writer.setString("padding", std::string(64 * 1024, 'x'));  // large enough to be written in pieces
    std::atomic<bool> done{false};
    std::thread writing([&] {
        for (int k = 0; k < kKeys; ++k) writer.setObject("k" + std::to_string(k), k);
        done = true;
    });
    std::size_t lastSize = 0;
    int reads = 0;
    while (!done || reads == 0) {
        const json value = json::parse(readText(file), nullptr, false);
        if (!value.is_object() || value.size() < lastSize) {
            ADD_FAILURE() << "a reader saw a partial or damaged file after " << lastSize << " keys";
            break;
        }
        lastSize = value.size();
        ++reads;
    }
    writing.join();
    EXPECT_EQ(readJson(file).size(), static_cast<std::size_t>(kKeys + 1));
}

// --- The application's data folder ---------------------------------------

TEST(ApplicationDataDirectoryTest, IsTheBundleIdentifierUnderXDGDataHome) {
    test::TemporaryDirectory dataHome;
    ScopedEnvironment xdg("XDG_DATA_HOME", dataHome.path().c_str());
    ScopedBundleIdentifier identifier("com.example.host");
    EXPECT_EQ(applicationDataDirectory(), dataHome / "com.example.host");
}

TEST(ApplicationDataDirectoryTest, FallsBackToTheExecutableName) {
    test::TemporaryDirectory dataHome;
    ScopedEnvironment xdg("XDG_DATA_HOME", dataHome.path().c_str());
    {
        ScopedBundleIdentifier none(nullptr);
        EXPECT_EQ(applicationDataDirectory(), dataHome / "platform_tests");
    }
    // An identifier that is no string, or that would leave the data folder,
    // is not used.
    for (const json& unusable : {json(12), json(""), json("../escape"), json("a/b"), json(".."), json(".")}) {
        ScopedBundleIdentifier identifier(unusable);
        EXPECT_EQ(applicationDataDirectory(), dataHome / "platform_tests") << unusable;
    }
}

TEST(ApplicationDataDirectoryTest, UsesHomeWhenXDGDataHomeIsUnsetOrRelative) {
    test::TemporaryDirectory home;
    ScopedEnvironment homeVariable("HOME", home.path().c_str());
    ScopedBundleIdentifier identifier("com.example.host");
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(applicationDataDirectory(), home / ".local" / "share" / "com.example.host");
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(applicationDataDirectory(), home / ".local" / "share" / "com.example.host");
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "");
        EXPECT_EQ(applicationDataDirectory(), home / ".local" / "share" / "com.example.host");
    }
}

TEST(UserDefaultsStandardTest, LivesInTheApplicationDataFolder) {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    ASSERT_NE(dataHome, nullptr) << "the test main sets a private data folder";
    ScopedBundleIdentifier identifier("com.example.standard");
    UserDefaults& store = UserDefaults::standard();
    EXPECT_EQ(&store, &UserDefaults::standard());
    EXPECT_EQ(store.file().filename(), "UserDefaults.json");
    EXPECT_EQ(store.file().parent_path().parent_path(), fs::path(dataHome));

    store.setString("standard-test", "value");
    EXPECT_EQ(UserDefaults(store.file()).string("standard-test"), "value");
    store.removeObject("standard-test");
    EXPECT_FALSE(UserDefaults(store.file()).contains("standard-test"));
}

}  // namespace
}  // namespace ovira

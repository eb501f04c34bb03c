#include "ovira/MainBundle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "support/LogCapture.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

using json = nlohmann::json;
namespace fs = std::filesystem;

void writeText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

class MainBundleTest : public testing::Test {
protected:
    test::TemporaryDirectory directory;
    fs::path infoFile = directory / "Info.json";
    MainBundle bundle;
};

TEST_F(MainBundleTest, LoadsAGoodFile) {
    writeText(infoFile, R"({
        "EKYCAppID": "app-123",
        "CFBundleIdentifier": "com.example.host",
        "EKYCServiceHost": "https://ekyc.example.com",
        "EKYCTimeout": 30,
        "Features": {"nfc": true, "languages": ["vi", "en"]}
    })");
    EXPECT_EQ(bundle.load(infoFile), std::nullopt);
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCAppID"), "app-123");
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("CFBundleIdentifier"), "com.example.host");
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCServiceHost"), "https://ekyc.example.com");
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("EKYCTimeout"), 30);
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("Features"),
              (json{{"nfc", true}, {"languages", {"vi", "en"}}}));
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("Missing").is_null());
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("Missing"), std::nullopt);
}

TEST_F(MainBundleTest, ANumberIsToldApartFromAString) {
    writeText(infoFile, R"({"EKYCAppID": 12345})");
    ASSERT_EQ(bundle.load(infoFile), std::nullopt);
    const json number = bundle.objectForInfoDictionaryKey("EKYCAppID");
    EXPECT_TRUE(number.is_number_integer());
    EXPECT_EQ(number, 12345);
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCAppID"), std::nullopt);

    writeText(infoFile, R"({"EKYCAppID": "12345"})");
    ASSERT_EQ(bundle.load(infoFile), std::nullopt);
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("EKYCAppID").is_string());
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCAppID"), "12345");

    // Neither is a boolean, an empty string or null mistaken for the other.
    writeText(infoFile, R"({"A": true, "B": "", "C": null})");
    ASSERT_EQ(bundle.load(infoFile), std::nullopt);
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("A"), true);
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("A"), std::nullopt);
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("B"), "");
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("C"), std::nullopt);
}

TEST_F(MainBundleTest, LoadReplacesTheWholeDictionary) {
    bundle.setObject("SetInCode", "value");
    writeText(infoFile, R"({"First": 1, "Shared": "old"})");
    ASSERT_EQ(bundle.load(infoFile), std::nullopt);
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("SetInCode").is_null());

    const auto second = directory / "Second.json";
    writeText(second, R"({"Shared": "new"})");
    ASSERT_EQ(bundle.load(second), std::nullopt);
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("First").is_null());
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("Shared"), "new");
}

TEST_F(MainBundleTest, AMissingFileGivesAReasonAndAnEmptyDictionary) {
    test::LogCapture log;
    bundle.setObject("EKYCAppID", "before");
    const auto missing = directory / "Nowhere.json";
    std::optional<std::string> reason;
    EXPECT_NO_THROW(reason = bundle.load(missing));
    ASSERT_TRUE(reason.has_value());
    EXPECT_NE(reason->find(missing.string()), std::string::npos) << *reason;
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("EKYCAppID").is_null());
    EXPECT_NE(log.lineContaining(missing.string()), "") << "the reason should be logged";

    // A folder is no settings file either.
    EXPECT_TRUE(bundle.load(directory.path()).has_value());
}

struct MalformedInfo {
    const char* name;
    std::string contents;
};

class MainBundleMalformedTest : public MainBundleTest, public testing::WithParamInterface<MalformedInfo> {};

TEST_P(MainBundleMalformedTest, GivesAReasonAndAnEmptyDictionaryWithoutThrowing) {
    test::LogCapture log;
    bundle.setObject("EKYCAppID", "before");
    writeText(infoFile, GetParam().contents);
    std::optional<std::string> reason;
    EXPECT_NO_THROW(reason = bundle.load(infoFile));
    ASSERT_TRUE(reason.has_value());
    EXPECT_FALSE(reason->empty());
    EXPECT_NE(reason->find(infoFile.string()), std::string::npos) << *reason;
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("EKYCAppID").is_null());
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("0").is_null());
    EXPECT_NE(log.lineContaining(infoFile.string()), "") << "the reason should be logged";
}

INSTANTIATE_TEST_SUITE_P(Contents, MainBundleMalformedTest,
                         testing::Values(MalformedInfo{"Truncated", R"({"EKYCAppID": "app-)"},
                                         MalformedInfo{"Garbage", "EKYCAppID = app-123"},
                                         MalformedInfo{"Array", R"(["EKYCAppID", "app-123"])"},
                                         MalformedInfo{"Empty", ""}, MalformedInfo{"String", R"("app-123")"},
                                         MalformedInfo{"Null", "null"},
                                         MalformedInfo{"TwoObjects", R"({"EKYCAppID": "a"} {"EKYCAppID": "b"})"}),
                         [](const testing::TestParamInfo<MalformedInfo>& param) { return std::string(param.param.name); });

TEST_F(MainBundleTest, SetObjectAddsReplacesAndRemovesOneEntry) {
    writeText(infoFile, R"({"EKYCAppID": "from-file", "Other": "kept"})");
    ASSERT_EQ(bundle.load(infoFile), std::nullopt);

    bundle.setObject("EKYCServiceHost", "https://example.com");
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCServiceHost"), "https://example.com");

    bundle.setObject("EKYCAppID", 77);
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("EKYCAppID"), 77);
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCAppID"), std::nullopt);

    bundle.setObject("EKYCAppID", nullptr);
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("EKYCAppID").is_null());
    bundle.setObject("NeverSet", nullptr);  // harmless

    EXPECT_EQ(bundle.stringForInfoDictionaryKey("Other"), "kept");
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCServiceHost"), "https://example.com");
}

TEST_F(MainBundleTest, SetInfoDictionaryReplacesEverything) {
    bundle.setObject("Old", "value");
    bundle.setInfoDictionary({{"EKYCAppID", "code"}, {"Port", 443}});
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("Old").is_null());
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCAppID"), "code");
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("Port"), 443);

    // Anything but an object empties the dictionary.
    for (const json& notAnObject : {json::array({"EKYCAppID", "code"}), json("EKYCAppID"), json(), json(1)}) {
        bundle.setInfoDictionary({{"EKYCAppID", "code"}});
        bundle.setInfoDictionary(notAnObject);
        EXPECT_TRUE(bundle.objectForInfoDictionaryKey("EKYCAppID").is_null()) << notAnObject;
        EXPECT_TRUE(bundle.objectForInfoDictionaryKey("0").is_null()) << notAnObject;
    }
}

TEST_F(MainBundleTest, DefaultInfoFileIsBesideTheExecutable) {
    const auto file = MainBundle::defaultInfoFile();
    EXPECT_EQ(file.filename(), "Info.json");
    EXPECT_TRUE(fs::is_regular_file(file.parent_path() / "platform_tests")) << file;
}

// Places an Info.json beside the test executable for one scope.
class ScopedDefaultInfoFile {
public:
    explicit ScopedDefaultInfoFile(const std::string& contents) : file_(MainBundle::defaultInfoFile()) {
        if (fs::exists(file_)) return;  // not ours to replace
        writeText(file_, contents);
        placed_ = fs::exists(file_);
    }
    ~ScopedDefaultInfoFile() {
        std::error_code error;
        if (placed_) fs::remove(file_, error);
    }
    ScopedDefaultInfoFile(const ScopedDefaultInfoFile&) = delete;
    ScopedDefaultInfoFile& operator=(const ScopedDefaultInfoFile&) = delete;
    bool placed() const { return placed_; }

private:
    fs::path file_;
    bool placed_ = false;
};

TEST(MainBundleDefaultFileTest, IsReadOnFirstUseUnlessTheHostSetTheDictionary) {
    ScopedDefaultInfoFile info(R"({"EKYCAppID": "beside-executable", "FromFile": 1})");
    if (!info.placed()) GTEST_SKIP() << "cannot place Info.json beside the test executable";

    {
        MainBundle reader;
        EXPECT_EQ(reader.stringForInfoDictionaryKey("EKYCAppID"), "beside-executable");
        EXPECT_EQ(reader.objectForInfoDictionaryKey("FromFile"), 1);
    }
    {
        // One entry set in code goes on top of the file.
        MainBundle host;
        host.setObject("EKYCAppID", "from-code");
        EXPECT_EQ(host.stringForInfoDictionaryKey("EKYCAppID"), "from-code");
        EXPECT_EQ(host.objectForInfoDictionaryKey("FromFile"), 1);
    }
    {
        // A whole dictionary set in code wins over the file.
        MainBundle host;
        host.setInfoDictionary({{"EKYCAppID", "from-code"}});
        EXPECT_EQ(host.stringForInfoDictionaryKey("EKYCAppID"), "from-code");
        EXPECT_TRUE(host.objectForInfoDictionaryKey("FromFile").is_null());
    }
    {
        test::TemporaryDirectory directory;
        writeText(directory / "Other.json", R"({"Other": true})");
        MainBundle host;
        ASSERT_EQ(host.load(directory / "Other.json"), std::nullopt);
        EXPECT_TRUE(host.objectForInfoDictionaryKey("FromFile").is_null());
        EXPECT_EQ(host.objectForInfoDictionaryKey("Other"), true);
    }
}

TEST(MainBundleDefaultFileTest, AMalformedDefaultFileIsAnEmptyDictionary) {
    test::LogCapture log;
    ScopedDefaultInfoFile info(R"({"EKYCAppID": "trunc)");
    if (!info.placed()) GTEST_SKIP() << "cannot place Info.json beside the test executable";
    MainBundle reader;
    json value;
    EXPECT_NO_THROW(value = reader.objectForInfoDictionaryKey("EKYCAppID"));
    EXPECT_TRUE(value.is_null());
    reader.setObject("EKYCAppID", "set-later");
    EXPECT_EQ(reader.stringForInfoDictionaryKey("EKYCAppID"), "set-later");
}

TEST_F(MainBundleTest, ReadersAndWritersOnSeveralThreads) {
    constexpr int kRounds = 300;
    std::atomic<bool> resetsDone{false};
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds - 1; ++i) bundle.setObject("Writer" + std::to_string(t), i);
            // The last value goes in after the resets, so that it must survive.
            while (!resetsDone) std::this_thread::yield();
            bundle.setObject("Writer" + std::to_string(t), kRounds - 1);
        });
    }
    threads.emplace_back([&] {
        for (int i = 0; i < 20; ++i) bundle.setInfoDictionary({{"EKYCAppID", "reset"}});
        resetsDone = true;
    });
    std::atomic<int> badReads{0};
    std::thread reader([&] {
        while (!stop) {
            const json value = bundle.objectForInfoDictionaryKey("Writer0");
            if (!value.is_null() && !value.is_number_integer()) ++badReads;
            if (bundle.stringForInfoDictionaryKey("EKYCAppID").value_or("reset") != "reset") ++badReads;
        }
    });
    for (auto& thread : threads) thread.join();
    stop = true;
    reader.join();
    EXPECT_EQ(badReads, 0);
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("Writer0"), kRounds - 1);
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("Writer1"), kRounds - 1);
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCAppID"), "reset");
}

}  // namespace
}  // namespace ovira

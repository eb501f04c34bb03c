#include "ovira/MainBundle.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "support/LogCapture.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

using json = nlohmann::json;

class MainBundleTest : public testing::Test {
protected:
    // Writes the settings file and loads it.
    std::optional<std::string> load(const std::string& text) {
        std::ofstream(infoFile, std::ios::binary) << text;
        return bundle.load(infoFile);
    }

    test::TemporaryDirectory directory;
    std::filesystem::path infoFile = directory / "Info.json";
    MainBundle bundle;
};

// A good file replaces what was there, and the host then sets entries or the
// whole dictionary in code.
TEST_F(MainBundleTest, LoadsAGoodFileInPlaceOfWhatWasThereAndTheHostChangesItInCode) {
    bundle.setObject("SetInCode", "value");
    ASSERT_EQ(load(R"({"EKYCAppID": "app-123", "Timeout": 30, "Text": "30", "Other": "kept"})"),
              std::nullopt);
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCAppID"), "app-123");
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("SetInCode").is_null());
    // A number is told apart from a string.
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("Timeout"), 30);
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("Timeout"), std::nullopt);
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("Text"), "30");

    bundle.setObject("EKYCServiceHost", "https://example.com");
    bundle.setObject("EKYCAppID", nullptr);
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("EKYCAppID").is_null());
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCServiceHost"), "https://example.com");
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("Other"), "kept");

    bundle.setInfoDictionary({{"EKYCAppID", "code"}});
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("Other").is_null());
    EXPECT_EQ(bundle.stringForInfoDictionaryKey("EKYCAppID"), "code");
    // Anything but an object leaves an empty dictionary, still usable.
    for (const json& notAnObject : {json::array({"EKYCAppID", "code"}), json("EKYCAppID")}) {
        bundle.setInfoDictionary(notAnObject);
        EXPECT_TRUE(bundle.objectForInfoDictionaryKey("EKYCAppID").is_null()) << notAnObject;
        bundle.setObject("EKYCAppID", 1);
        EXPECT_EQ(bundle.objectForInfoDictionaryKey("EKYCAppID"), 1) << notAnObject;
    }
}

struct BadInfo {
    const char* name;
    std::optional<std::string> contents;  // nothing: there is no file
};

class MainBundleBadFileTest : public MainBundleTest, public testing::WithParamInterface<BadInfo> {};

TEST_P(MainBundleBadFileTest, GivesAndLogsAReasonAndLeavesAnEmptyDictionary) {
    test::LogCapture log;
    bundle.setObject("EKYCAppID", "before");
    if (GetParam().contents) std::ofstream(infoFile, std::ios::binary) << *GetParam().contents;
    const auto reason = bundle.load(infoFile);
    EXPECT_NE(reason.value_or("").find(infoFile.string()), std::string::npos) << reason.value_or("no reason");
    EXPECT_NE(log.lineContaining(infoFile.string()), "") << "the reason should be logged";
    EXPECT_TRUE(bundle.objectForInfoDictionaryKey("EKYCAppID").is_null());
}

INSTANTIATE_TEST_SUITE_P(Contents, MainBundleBadFileTest,
                         testing::Values(BadInfo{"Missing", std::nullopt},
                                         BadInfo{"Truncated", R"({"EKYCAppID": "app-)"},
                                         BadInfo{"Garbage", "EKYCAppID = app-123"},
                                         BadInfo{"Array", R"(["EKYCAppID", "app-123"])"},
                                         BadInfo{"Empty", ""}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace ovira

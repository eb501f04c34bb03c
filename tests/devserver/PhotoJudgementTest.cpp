#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <functional>
#include <map>
#include <set>
#include <string>

#include "DevServerTestSupport.h"

namespace ovira::devserver::test {
namespace {

using Change = std::function<void(cv::Mat&)>;

// A photo made by changing a drawn card or the astronaut, encoded as PNG.
std::function<std::string()> card(const Change& change) {
    return [change] {
        auto image = drawCard();
        change(image);
        return encode(image);
    };
}

std::function<std::string()> astronaut(const Change& change) {
    return [change] {
        auto image = decodeImage(testImage("astronaut.png"));
        change(image);
        return encode(image);
    };
}

const auto kAsIs = [](cv::Mat&) {};

struct Case {
    const char* name;
    const char* endpoint;
    const char* side;
    std::function<std::string()> photo;
    int statusCode;
};

// clang-format off
const Case kCases[] = {
    {"card", "/nationId", "FRONT", card(kAsIs), 0},
    {"card as JPEG", "/driverlicense", "BACK", [] { return encode(drawCard(), ".jpg"); }, 0},
    {"large card", "/passport", "", [] { return encode(drawCard({2400, 1514}), ".jpg"); }, 0},
    {"not an image", "/nationId", "FRONT", [] { return std::string("GIF89a but not really"); }, 2001},
    {"portrait card", "/nationId", "BACK", card([](cv::Mat& m) { m = m.t(); }), 2002},
    {"tiny card", "/driverlicense", "FRONT", card([](cv::Mat& m) { cv::resize(m, m, {400, 252}); }), 2003},
    {"blurred card", "/passport", "", card([](cv::Mat& m) { cv::GaussianBlur(m, m, {0, 0}, 3); }), 2004},
    {"dark card", "/nationId", "FRONT", card([](cv::Mat& m) { m.convertTo(m, -1, 0.15); }), 2005},
    {"burnt-out card", "/nationId", "FRONT", card([](cv::Mat& m) { m.convertTo(m, -1, 1.0, 120); }), 2006},
    {"astronaut", "/captureFace", "", [] { return testImage("astronaut.png"); }, 0},
    {"cat", "/captureFace", "", [] { return testImage("chelsea.png"); }, 2101},
    {"two astronauts", "/captureFace", "", astronaut([](cv::Mat& m) { cv::Mat two; cv::hconcat(m, m, two); m = two; }), 2102},
    {"astronaut far away", "/captureFace", "", astronaut([](cv::Mat& m) {
         cv::Mat canvas(1050, 1400, CV_8UC3, cv::Scalar(128, 128, 128));
         m.copyTo(canvas(cv::Rect(444, 269, m.cols, m.rows)));
         m = canvas;
     }), 2103},
    {"astronaut in the dark", "/captureFace", "", astronaut([](cv::Mat& m) { m.convertTo(m, -1, 0.1); }), 2005},
};
// clang-format on

TEST(DevServerPhotoJudgement, AcceptsGoodPhotosAndNamesWhatIsWrongWithBadOnes) {
    auto client = connect(sharedServer());
    std::map<std::string, std::set<std::string>> messages;  // by language
    std::map<int, std::string> vietnamese;
    for (const auto& c : kCases) {
        const auto photo = c.photo();
        for (const std::string language : {"vi", "en"}) {
            SCOPED_TRACE(std::string(c.name) + " in " + language);
            const auto result = upload(*client, c.endpoint, sessionHeaders("judge", language), photo, c.side);
            ASSERT_TRUE(result);
            EXPECT_EQ(result->status, 200);
            const auto body = bodyOf(result);
            EXPECT_EQ(body["statusCode"], c.statusCode) << body.dump();
            if (c.statusCode == 0) {
                EXPECT_TRUE(body["data"]["requestId"].is_string());
                continue;
            }
            const auto message = body["message"].get<std::string>();
            messages[language].insert(message);
            if (language == "vi")
                vietnamese[c.statusCode] = message;
            else
                EXPECT_NE(message, vietnamese[c.statusCode]) << "an English text was expected";
        }
    }
    EXPECT_EQ(messages["vi"].size(), vietnamese.size()) << "each rejection needs its own message";
    EXPECT_EQ(messages["en"].size(), vietnamese.size());
    EXPECT_TRUE(messages["en"].count("No face was found in the photo."));
}

TEST(DevServerPhotoJudgement, RefusesUploadsWithoutFileOrWithAWrongSide) {
    auto client = connect(sharedServer());
    const auto card = encode(drawCard());
    struct Request {
        const char* name;
        const char* endpoint;
        httplib::MultipartFormDataItems parts;
        int statusCode;
    };
    const Request requests[] = {
        {"side only", "/nationId", {{"type", "FRONT", "", ""}}, 1001},
        {"no parts for the face", "/captureFace", {{"other", "x", "", ""}}, 1001},
        {"photo under another name", "/passport", {{"photo", card, "card.png", "image/png"}}, 1001},
        {"no side", "/nationId", {{"file", card, "card.png", "image/png"}}, 1002},
        {"lower-case side",
         "/driverlicense",
         {{"file", card, "card.png", "image/png"}, {"type", "front", "", ""}},
         1002},
        {"unknown side",
         "/nationId",
         {{"file", card, "card.png", "image/png"}, {"type", "SIDE", "", ""}},
         1002},
    };
    for (const auto& r : requests) {
        SCOPED_TRACE(r.name);
        const auto result =
            client->Post((std::string("/v1/ekyc") + r.endpoint).c_str(), sessionHeaders("shape"), r.parts);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 200);
        EXPECT_EQ(bodyOf(result)["statusCode"], r.statusCode);
        EXPECT_FALSE(bodyOf(result)["message"].get<std::string>().empty());
    }
    const auto json =
        client->Post("/v1/ekyc/captureFace", sessionHeaders("shape"), R"({"file": "x"})", "application/json");
    ASSERT_TRUE(json);
    EXPECT_EQ(bodyOf(json)["statusCode"], 1001);

    // Decoders stop at the image's end marker, so padding makes a large upload of a good photo.
    const auto large =
        upload(*client, "/nationId", sessionHeaders("shape"), card + std::string(20u << 20, '\0'), "FRONT");
    ASSERT_TRUE(large);
    EXPECT_EQ(bodyOf(large)["statusCode"], 0) << "20 MiB uploads must be allowed";
    const auto huge =
        upload(*client, "/nationId", sessionHeaders("shape"), std::string(40u << 20, '\0'), "FRONT");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->status, 413);
    EXPECT_EQ(bodyOf(huge)["statusCode"], 413);
}

}  // namespace
}  // namespace ovira::devserver::test

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
std::string changed(cv::Mat image, const Change& change) {
    change(image);
    return encode(image);
}
std::string card(const Change& change) {
    return changed(drawCard(), change);
}
std::string astronaut(const Change& change) {
    return changed(decodeImage(testImage("astronaut.png")), change);
}

struct Case {
    const char* name;
    const char* endpoint;
    const char* side;
    std::string photo;
    int statusCode;
};

TEST(DevServerPhotoJudgement, AcceptsGoodPhotosAndNamesWhatIsWrongWithBadOnes) {
    // clang-format off
    const Case cases[] = {
        {"card", "/nationId", "FRONT", encode(drawCard()), 0},
        {"large card as JPEG", "/passport", "", encode(drawCard({2400, 1514}), ".jpg"), 0},
        {"not an image", "/nationId", "FRONT", "GIF89a but not really", 2001},
        {"portrait card", "/nationId", "BACK", card([](cv::Mat& m) { m = m.t(); }), 2002},
        {"tiny card", "/driverlicense", "FRONT", card([](cv::Mat& m) { cv::resize(m, m, {400, 252}); }), 2003},
        {"blurred card", "/passport", "", card([](cv::Mat& m) { cv::GaussianBlur(m, m, {0, 0}, 1.6); }), 2004},
        {"dark card", "/nationId", "FRONT", card([](cv::Mat& m) { m.convertTo(m, -1, 0.15); }), 2005},
        {"burnt-out card", "/nationId", "FRONT", card([](cv::Mat& m) { m.convertTo(m, -1, 1.0, 120); }), 2006},
        {"no side", "/nationId", "", encode(drawCard()), 1002},
        {"unknown side", "/driverlicense", "front", encode(drawCard()), 1002},
        {"astronaut", "/captureFace", "", testImage("astronaut.png"), 0},
        {"cat", "/captureFace", "", testImage("chelsea.png"), 2101},
        {"two astronauts", "/captureFace", "", astronaut([](cv::Mat& m) { cv::vconcat(m.clone(), m.clone(), m); }), 2102},
        {"astronaut far away", "/captureFace", "", astronaut([](cv::Mat& m) {
             cv::copyMakeBorder(m, m, 269, 269, 444, 444, cv::BORDER_CONSTANT, cv::Scalar::all(128)); }), 2103},
    };
    // clang-format on
    auto client = connect(sharedServer());
    std::map<int, std::string> byCode;
    std::set<std::string> messages;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = upload(*client, c.endpoint, sessionHeaders("judge"), c.photo, c.side);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 200);
        const auto body = bodyOf(result);
        ASSERT_EQ(body["statusCode"], c.statusCode) << body.dump();
        if (c.statusCode == 0) continue;
        byCode[c.statusCode] = body["message"].get<std::string>();
        messages.insert(byCode[c.statusCode]);
    }
    EXPECT_EQ(messages.size(), byCode.size()) << "each rejection needs its own message";
    const auto english =
        bodyOf(upload(*client, "/captureFace", sessionHeaders("judge", "en"), cases[11].photo));
    EXPECT_EQ(english["message"], "No face was found in the photo.");

    // An upload without a photo, then one beyond the size limit.
    const auto json =
        client->Post("/v1/ekyc/captureFace", sessionHeaders("judge"), R"({"file": "x"})", "application/json");
    EXPECT_EQ(bodyOf(json)["statusCode"], 1001);
    const auto huge =
        upload(*client, "/nationId", sessionHeaders("judge"), std::string(40u << 20, '\0'), "FRONT");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->status, 413);
}

}  // namespace
}  // namespace ovira::devserver::test

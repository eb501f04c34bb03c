#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "DevServerTestSupport.h"
#include "devserver/PhotoJudge.h"

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

int cardHeight(int width) {
    return static_cast<int>(std::lround(width * 53.98 / 85.6));
}

// A desk photographed from above: a photo `photoWidth` wide with a card's
// proportions, of one plain colour with a little sensor noise.
cv::Mat desk(int photoWidth, cv::Scalar colour) {
    cv::Mat noise(cardHeight(photoWidth), photoWidth, CV_32FC3);
    cv::RNG(7).fill(noise, cv::RNG::NORMAL, cv::Scalar::all(0), cv::Scalar::all(4));
    cv::Mat photo;
    cv::Mat(noise + colour).convertTo(photo, CV_8UC3);
    return photo;
}

struct Placement {
    double widthShare;   // the card's width / the photo's width
    double gain = 1;     // multiplies the card's colours: below 1 for a dark card
    double degrees = 0;  // turned anticlockwise about its centre
};

// The drawn card with rounded corners, centred on the desk as the placement says.
cv::Mat cardOnDesk(cv::Mat photo, const Placement& placement) {
    const int width = static_cast<int>(std::lround(photo.cols * placement.widthShare));
    cv::Mat card = drawCard({width, cardHeight(width)});
    card.convertTo(card, -1, placement.gain);
    cv::Mat move = cv::getRotationMatrix2D({card.cols / 2.0f, card.rows / 2.0f}, placement.degrees, 1.0);
    move.at<double>(0, 2) += (photo.cols - card.cols) / 2.0;
    move.at<double>(1, 2) += (photo.rows - card.rows) / 2.0;
    cv::Mat moved, mask;
    cv::warpAffine(card, moved, move, photo.size());
    cv::warpAffine(cardShape(card.size()), mask, move, photo.size(), cv::INTER_NEAREST);
    moved.copyTo(photo, mask);
    return photo;
}

const cv::Scalar kDarkDesk(40, 45, 50);
const cv::Scalar kLightDesk(215, 220, 225);

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
        {"tiny card", "/driverlicense", "FRONT", card([](cv::Mat& m) { cv::resize(m, m, {400, 252}); }), 2007},
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
        {"tiny astronaut", "/captureFace", "", astronaut([](cv::Mat& m) { cv::resize(m, m, {150, 150}); }), 2003},
        {"card 999 pixels wide", "/nationId", "BACK", encode(drawCard({999, 630})), 2007},
        {"card far away", "/passport", "", encode(cardOnDesk(desk(1100, kDarkDesk), {0.7})), 2008},
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
    const auto named = [&cases](std::string_view name) -> const Case& {
        return *std::find_if(std::begin(cases), std::end(cases),
                             [name](const Case& c) { return c.name == name; });
    };
    const auto english =
        bodyOf(upload(*client, "/captureFace", sessionHeaders("judge", "en"), named("cat").photo));
    EXPECT_EQ(english["message"], "No face was found in the photo.");
    const std::pair<const Case&, const char*> englishDocuments[] = {
        {named("card 999 pixels wide"),
         "The document photo has too few pixels to read the card's text; bring the card closer "
         "to the camera or use a camera with a higher resolution."},
        {named("card far away"),
         "The card fills too little of the photo; hold the card closer so that it fills the frame."},
    };
    for (const auto& [c, message] : englishDocuments) {
        const auto answer =
            bodyOf(upload(*client, c.endpoint, sessionHeaders("judge", "en"), c.photo, c.side));
        EXPECT_EQ(answer["message"], message) << c.name;
        EXPECT_NE(answer["message"], byCode[c.statusCode]) << "the Vietnamese text is another";
    }

    // An upload without a photo, then one beyond the size limit.
    const auto json =
        client->Post("/v1/ekyc/captureFace", sessionHeaders("judge"), R"({"file": "x"})", "application/json");
    EXPECT_EQ(bodyOf(json)["statusCode"], 1001);
    const auto huge =
        upload(*client, "/nationId", sessionHeaders("judge"), std::string(40u << 20, '\0'), "FRONT");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->status, 413);
}

TEST(DevServerPhotoJudgement, ACardPhotoNeedsEnoughPixelsAndTheCardFillingIt) {
    // Cut from the middle of a larger card: the card's edges are outside.
    const cv::Mat covering = drawCard({1500, cardHeight(1500)})(cv::Rect(200, 126, 1100, cardHeight(1100)));
    cv::Mat blurredFar = cardOnDesk(desk(1100, kDarkDesk), {0.7});
    cv::GaussianBlur(blurredFar, blurredFar, {0, 0}, 1.6);
    cv::Mat blurredNear = cardOnDesk(desk(1100, kDarkDesk), {0.9});
    cv::GaussianBlur(blurredNear, blurredNear, {0, 0}, 1.6);
    cv::Mat darkNear = cardOnDesk(desk(1100, kDarkDesk), {0.9});
    darkNear.convertTo(darkNear, -1, 0.15);
    struct Judged {
        const char* name;
        cv::Mat photo;
        std::optional<Message> rejection;
        std::optional<double> share;  // the card's measured width share, when the photo shows its outline
    };
    // clang-format off
    const Judged cases[] = {
        {"card 1000 pixels wide", drawCard({1000, 631}), std::nullopt, std::nullopt},
        {"card 999 pixels wide", drawCard({999, 630}), Message::DocumentTooNarrow, std::nullopt},
        {"portrait card is the wrong shape before it is narrow", drawCard({400, 252}).t(), Message::WrongShape, std::nullopt},
        {"90% on a dark desk", cardOnDesk(desk(1100, kDarkDesk), {0.9}), std::nullopt, 0.9},
        {"70% on a dark desk", cardOnDesk(desk(1100, kDarkDesk), {0.7}), Message::CardFillsTooLittle, 0.7},
        {"80% on a dark desk", cardOnDesk(desk(1000, kDarkDesk), {0.82}), std::nullopt, 0.82},
        {"dark card at 90% on a light desk", cardOnDesk(desk(1100, kLightDesk), {0.9, 0.35}), std::nullopt, 0.9},
        {"dark card at 70% on a light desk", cardOnDesk(desk(1100, kLightDesk), {0.7, 0.35}), Message::CardFillsTooLittle, 0.7},
        {"tilted card at 88%", cardOnDesk(desk(1200, kDarkDesk), {0.88, 1, 4}), std::nullopt, 0.88},
        {"tilted card at 60%", cardOnDesk(desk(1200, kDarkDesk), {0.6, 1, -5}), Message::CardFillsTooLittle, 0.6},
        {"large photo, card at 50%", cardOnDesk(desk(3000, kDarkDesk), {0.5}), Message::CardFillsTooLittle, 0.5},
        {"card covering the photo", covering, std::nullopt, 0.0},
        {"far card in a narrow photo is too narrow first", cardOnDesk(desk(900, kDarkDesk), {0.7}), Message::DocumentTooNarrow, std::nullopt},
        {"far card is too far before it is blurred", blurredFar, Message::CardFillsTooLittle, 0.7},
        {"near card, blurred", blurredNear, Message::Blurred, std::nullopt},
        {"near card, in the dark", darkNear, Message::TooDark, std::nullopt},
    };
    // clang-format on
    const PhotoJudge judge;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Verdict verdict = judge.judgeDocument(encode(c.photo));
        EXPECT_EQ(verdict.rejection, c.rejection);
        if (c.share) {
            EXPECT_NEAR(verdict.cardWidthShare, *c.share, 0.03);
        }
    }
}

TEST(DevServerPhotoJudgement, TheMinimumWidthAndFillAreThresholds) {
    const auto withLimits = [](int minCardWidth, double minCardWidthShare) {
        PhotoJudge::Thresholds thresholds;
        thresholds.minCardWidth = minCardWidth;
        thresholds.minCardWidthShare = minCardWidthShare;
        return thresholds;
    };
    const PhotoJudge::Thresholds defaults;
    struct Limited {
        const char* name;
        PhotoJudge::Thresholds thresholds;
        cv::Mat photo;
        std::optional<Message> rejection;
    };
    // clang-format off
    const Limited cases[] = {
        {"default, 1100 wide", defaults, drawCard({1100, 694}), std::nullopt},
        {"1200 minimum, 1100 wide", withLimits(1200, 0.8), drawCard({1100, 694}), Message::DocumentTooNarrow},
        {"1200 minimum, 1200 wide", withLimits(1200, 0.8), drawCard({1200, 757}), std::nullopt},
        {"600 minimum, 640 wide", withLimits(600, 0.8), drawCard({640, 404}), std::nullopt},
        {"default, card at 70%", defaults, cardOnDesk(desk(1100, kDarkDesk), {0.7}), Message::CardFillsTooLittle},
        {"60% fill, card at 70%", withLimits(1000, 0.6), cardOnDesk(desk(1100, kDarkDesk), {0.7}), std::nullopt},
        {"95% fill, card at 90%", withLimits(1000, 0.95), cardOnDesk(desk(1100, kDarkDesk), {0.9}), Message::CardFillsTooLittle},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PhotoJudge judge(PhotoJudge::kDefaultCascade, c.thresholds);
        EXPECT_EQ(judge.judgeDocument(encode(c.photo)).rejection, c.rejection);
    }
}

}  // namespace
}  // namespace ovira::devserver::test

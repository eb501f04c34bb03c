#include <gtest/gtest.h>

#include <any>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ovira/Data.h"
#include "ovira/EKYCAPIError.h"
#include "ovira/EKYCAPIErrorCode.h"
#include "ovira/EKYCHTTPMethod.h"
#include "ovira/EKYCHTTPStatusCode.h"

namespace ovira {
namespace {

const EKYCHTTPStatusCode kUnauthorized = EKYCHTTPStatusCode::unauthorized;
const std::string kGeneric = "The operation couldn\u2019t be completed. ";

TEST(EKYCAPIErrorTest, EnvelopeBytesDecideTheMessageAndAnythingElseLeavesTheGivenOne) {
    using Text = std::optional<std::string>;
    const std::string envelope = R"({"statusCode":401,"message":"from payload"})";
    // A payload, and the message an error given "given" and that payload ends up with.
    // clang-format off
    for (const auto& [payload, expected] : std::vector<std::pair<std::any, Text>>{
             {makeData(R"({"statusCode":401,"message":"Phiên đã hết hạn"})"), "Phiên đã hết hạn"},
             {makeData(R"({"statusCode":7,"message":"with data","data":{"x":1}})"), "with data"},
             // snake_case keys are read, so a status_code of the wrong type makes it no envelope
             {makeData(R"({"status_code":"7","message":"m"})"), "given"},
             {makeData(R"({"statusCode":401})"), std::nullopt},  // the envelope has none, so there is none
             {makeData(R"({"message":null})"), std::nullopt}, {makeData("{}"), std::nullopt},
             {makeData(R"({"data":[1,2,3],"other":"x"})"), std::nullopt},
             {makeData("<html>502 Bad Gateway</html>"), "given"}, {Data{}, "given"},
             {makeData(R"({"statusCode":401,"message":)"), "given"}, {makeData("[1,2,3]"), "given"},
             {makeData(R"("just text")"), "given"}, {makeData("42"), "given"}, {makeData("null"), "given"},
             {makeData(R"({"statusCode":"401","message":"typed wrong"})"), "given"},
             {makeData(R"({"message":5})"), "given"}, {makeData("{\"message\":\"\xFF\"}"), "given"},
             {envelope, "given"}, {envelope.c_str(), "given"},  // text is not response bytes
             {std::vector<char>(envelope.begin(), envelope.end()), "given"},
             {401, "given"}, {std::any{}, "given"}}) {
        // clang-format on
        const EKYCAPIError error(EKYCAPIErrorCode::response, kUnauthorized, "given", payload);
        EXPECT_EQ(error.message(), expected) << error.what();
        EXPECT_EQ(error.what(), "ai.qorix.sdk error -906 (HTTP 401)" + (expected ? ": " + *expected : ""));
        EXPECT_EQ(error.payload().type(), payload.type());  // kept as received
        const auto* bytes = std::any_cast<Data>(&payload);
        EXPECT_TRUE(!bytes || std::any_cast<Data>(error.payload()) == *bytes);
    }
    EXPECT_FALSE(EKYCAPIError(-906, kUnauthorized, std::nullopt, makeData("not json")).message());
    EXPECT_FALSE(EKYCAPIError(-906, kUnauthorized, std::nullopt, envelope).message());
}

TEST(EKYCAPIErrorTest, DescriptionsNameDomainCodeStatusAndMessage) {
    EKYCAPIError error(EKYCAPIErrorCode::response, kUnauthorized, "Token expired");
    EXPECT_STREQ(error.what(), "ai.qorix.sdk error -906 (HTTP 401): Token expired");
    EXPECT_EQ(error.localizedDescription(), kGeneric + "(ai.qorix.sdk error -906.)");
    error.setMessage("new");
    EXPECT_STREQ(error.what(), "ai.qorix.sdk error -906 (HTTP 401): new");
    error.setMessage(std::nullopt);
    EXPECT_FALSE(error.message());
    EXPECT_STREQ(error.what(), "ai.qorix.sdk error -906 (HTTP 401)");
    EXPECT_STREQ(EKYCAPIError(2, std::nullopt, "Document expired").what(),
                 "ai.qorix.sdk error 2: Document expired");
    const EKYCAPIError bare(EKYCAPIErrorCode::urlNil);
    EXPECT_STREQ(bare.what(), "ai.qorix.sdk error -900");
    EXPECT_TRUE(!bare.status() && !bare.message() && !bare.payload().has_value());
    EXPECT_EQ(bare.codeType(), EKYCAPIErrorCode::urlNil);
    EXPECT_EQ(EKYCAPIError(-1001).codeType(), EKYCAPIErrorCode::unknow);
}

TEST(EKYCAPIErrorTest, APlatformErrorKeepsItsCodeAndUserInfoUnderTheLibraryDomain) {
    const PlatformError offline{kURLErrorDomain,
                                -1009,
                                {{kLocalizedDescriptionKey, "The Internet connection appears to be offline."},
                                 {kErrorFailingURLStringKey, "https://ekyc.example.com/v1/ocr"}}};
    const EKYCAPIError error(offline);
    EXPECT_EQ(error.domain(), "ai.qorix.sdk");
    EXPECT_EQ(error.code(), -1009);
    EXPECT_EQ(error.userInfo(), offline.userInfo);
    EXPECT_TRUE(!error.status() && !error.message() && !error.payload().has_value());
    EXPECT_EQ(error.localizedDescription(), "The Internet connection appears to be offline.");
    EXPECT_STREQ(error.what(), "ai.qorix.sdk error -1009: The Internet connection appears to be offline.");
    EXPECT_EQ(EKYCAPIError(PlatformError{"Other", -906, {}}).codeType(), EKYCAPIErrorCode::response);
    EXPECT_EQ((PlatformError{kURLErrorDomain, -1001, {}}).localizedDescription(),
              kGeneric + "(NSURLErrorDomain error -1001.)");
    const EKYCAPIError custom("Custom.Domain", 12, {{"k", "v"}});
    EXPECT_EQ(custom.domain() + " " + std::to_string(custom.code()), "Custom.Domain 12");
    EXPECT_EQ(custom.localizedDescription(), kGeneric + "(Custom.Domain error 12.)");
}

using ResponseType = EKYCHTTPStatusCode::ResponseType;

TEST(EKYCHTTPMethodTest, EachNameParsesToAMethodOfThatNameAndNothingElseParses) {
    for (auto name : {"GET", "PUT", "POST", "PATCH", "DELETE", "HEAD", "OPTIONS", "TRACE", "CONNECT"}) {
        const auto method = EKYCHTTPMethodFromRawValue(name);
        EXPECT_TRUE(method && rawValue(*method) == name) << name;
    }
    EXPECT_EQ(rawValue(EKYCHTTPMethod::delete_), "DELETE");
    for (const char* text : {"get", "Delete", "GET ", " GET", "GE", "", "DELETE_", "PURGE"}) {
        EXPECT_FALSE(EKYCHTTPMethodFromRawValue(text)) << text;
    }
    EXPECT_FALSE(EKYCHTTPMethodFromRawValue(std::string_view("GET\0", 4)));
}

TEST(EKYCHTTPStatusCodeTest, ExactlyTheSixtySixKnownNumbersAreStatusCodes) {
    const std::set<int> known{100, 101, 102, 200, 201, 202, 203, 204, 205, 206, 207, 208, 226, 300,
                              301, 302, 303, 304, 305, 306, 307, 308, 400, 401, 402, 403, 404, 405,
                              406, 407, 408, 409, 410, 411, 412, 413, 414, 415, 416, 417, 418, 421,
                              422, 423, 424, 426, 428, 429, 431, 444, 451, 495, 496, 497, 499, 500,
                              501, 502, 503, 504, 505, 506, 507, 508, 510, 511};
    std::set<int> listed, accepted;
    for (auto code : EKYCHTTPStatusCode::allCases()) listed.insert(code);
    for (int n = -1100; n <= 1100; ++n) {
        if (const auto status = EKYCHTTPStatusCode::fromRawValue(n)) accepted.insert(status->rawValue());
    }
    EXPECT_EQ(listed, known);
    EXPECT_EQ(accepted, known);
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::notFound).localizedDescription(),
              "The operation couldn\u2019t be completed. (OVIRA.EKYCHTTPStatusCode error 404.)");
}

TEST(EKYCHTTPStatusCodeTest, TheResponseTypeIsTheClassOfTheHundreds) {
    using enum EKYCHTTPStatusCode::ResponseType;
    // clang-format off
    for (const auto& [number, type] : std::vector<std::pair<int, ResponseType>>{
             {99, undefined}, {100, informational}, {199, informational}, {200, success}, {299, success},
             {300, redirection}, {399, redirection}, {400, clientError}, {499, clientError},
             {500, serverError}, {599, serverError}, {600, undefined}}) {
        // clang-format on
        EXPECT_EQ(EKYCHTTPStatusCode::responseTypeOf(number), type) << number;
    }
    const ResponseType inOrder[]{informational, success, redirection, clientError, serverError, undefined};
    for (int raw = 0; raw <= 5; ++raw) EXPECT_EQ(ResponseTypeFromRawValue(raw), inOrder[raw]);
    EXPECT_FALSE(ResponseTypeFromRawValue(-1) || ResponseTypeFromRawValue(6));
}

TEST(EKYCAPIErrorCodeTest, OnlyTheEightCodesParseEachToItself) {
    std::set<int> accepted;
    for (int raw = -2000; raw <= 1000; ++raw) {
        const auto code = EKYCAPIErrorCodeFromRawValue(raw);
        if (code) accepted.insert(raw);
        EXPECT_TRUE(!code || static_cast<int>(*code) == raw) << raw;
    }
    EXPECT_EQ(accepted, (std::set<int>{-1000, -906, -905, -904, -903, -902, -901, -900}));
}

}  // namespace
}  // namespace ovira

#include <gtest/gtest.h>

#include <any>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "ovira/Data.h"
#include "ovira/EKYCAPIError.h"

namespace ovira {
namespace {

const EKYCHTTPStatusCode kUnauthorized = EKYCHTTPStatusCode::unauthorized;

EKYCAPIError responseError(std::optional<std::string> message, std::any payload) {
    return EKYCAPIError(-906, kUnauthorized, std::move(message), std::move(payload));
}

// ---- the message rule for byte payloads ----

TEST(EKYCAPIErrorMessageTest, EnvelopeBytesWithAMessageSupplyTheMessage) {
    const Data body = makeData(R"({"statusCode":401,"message":"Phiên đăng nhập đã hết hạn"})");
    const auto error = responseError(std::nullopt, body);

    EXPECT_EQ(error.message(), "Phiên đăng nhập đã hết hạn");
    ASSERT_TRUE(error.status().has_value());
    EXPECT_EQ(error.status()->rawValue(), 401);
    EXPECT_EQ(error.code(), -906);
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::response);
    EXPECT_EQ(error.domain(), "ai.qorix.sdk");
    EXPECT_TRUE(error.userInfo().empty());
    // The payload keeps the bytes as received.
    const auto* kept = std::any_cast<Data>(&error.payload());
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(*kept, body);
}

TEST(EKYCAPIErrorMessageTest, TheEnvelopeMessageWinsOverTheGivenOne) {
    const auto error =
        responseError("given", makeData(R"({"statusCode":7,"message":"from service","data":{"x":1}})"));
    EXPECT_EQ(error.message(), "from service");
}

TEST(EKYCAPIErrorMessageTest, AnEnvelopeWithoutAMessageClearsTheGivenMessage) {
    for (const char* body : {R"({"statusCode":401})", R"({"statusCode":401,"message":null})", "{}",
                             R"({"data":[1,2,3],"other":"x"})"}) {
        const auto error = responseError("given", makeData(body));
        EXPECT_FALSE(error.message().has_value()) << body;
        EXPECT_EQ(error.status()->rawValue(), 401) << body;
    }
}

TEST(EKYCAPIErrorMessageTest, SnakeCaseEnvelopeKeysAreReadThroughTheSharedDecoder) {
    const auto error = responseError("given", makeData(R"({"status_code":401,"message":"snake"})"));
    EXPECT_EQ(error.message(), "snake");
}

TEST(EKYCAPIErrorMessageTest, BytesThatAreNotAnEnvelopeKeepTheGivenMessage) {
    const std::vector<Data> bodies{
        makeData("<html><body>502 Bad Gateway</body></html>"),
        Data{},                                       // empty body
        makeData(R"({"statusCode":401,"message":)"),  // truncated JSON
        makeData("[1,2,3]"),                          // JSON, but not an object
        makeData(R"("just text")"),
        makeData("42"),
        makeData("null"),
        makeData(R"({"statusCode":"401","message":"typed wrong"})"),  // a member of the wrong type
        makeData(R"({"statusCode":401,"message":5})"),
        Data{'{', '"', 'm', 'e', 's', 's', 'a', 'g', 'e', '"', ':', '"', 0xFF, '"', '}'},  // not UTF-8
    };
    for (const auto& body : bodies) {
        const auto error = responseError("given", body);
        EXPECT_EQ(error.message(), "given") << asStringView(body);
        EXPECT_EQ(error.status()->rawValue(), 401);
    }
    // Without a given message, there is still none.
    EXPECT_FALSE(responseError(std::nullopt, makeData("not json")).message().has_value());
}

TEST(EKYCAPIErrorMessageTest, PayloadsThatAreNotBytesNeverReplaceTheMessage) {
    const std::string envelopeText = R"({"statusCode":401,"message":"from payload"})";
    const std::vector<std::any> payloads{
        envelopeText,                                                 // text, not bytes
        envelopeText.c_str(),                                         // a C string
        std::vector<char>(envelopeText.begin(), envelopeText.end()),  // bytes of another type
        401,
        std::any{},
    };
    for (const auto& payload : payloads) {
        const auto error = responseError("given", payload);
        EXPECT_EQ(error.message(), "given") << payload.type().name();
    }
    EXPECT_FALSE(responseError(std::nullopt, envelopeText).message().has_value());

    const auto kept = responseError("given", envelopeText);
    ASSERT_NE(std::any_cast<std::string>(&kept.payload()), nullptr);
    EXPECT_EQ(std::any_cast<std::string>(kept.payload()), envelopeText);
}

TEST(EKYCAPIErrorMessageTest, StatusAndPayloadMayBeAbsent) {
    const EKYCAPIError error(EKYCAPIErrorCode::urlNil);
    EXPECT_EQ(error.code(), -900);
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::urlNil);
    EXPECT_FALSE(error.status().has_value());
    EXPECT_FALSE(error.message().has_value());
    EXPECT_FALSE(error.payload().has_value());
    EXPECT_EQ(error.domain(), "ai.qorix.sdk");
}

TEST(EKYCAPIErrorMessageTest, SetMessageReplacesTheMessageAndTheDescription) {
    EKYCAPIError error(EKYCAPIErrorCode::response, kUnauthorized, "old");
    error.setMessage("new");
    EXPECT_EQ(error.message(), "new");
    EXPECT_STREQ(error.what(), "ai.qorix.sdk error -906 (HTTP 401): new");
    error.setMessage(std::nullopt);
    EXPECT_FALSE(error.message().has_value());
    EXPECT_STREQ(error.what(), "ai.qorix.sdk error -906 (HTTP 401)");
}

// ---- from a platform error ----

TEST(EKYCAPIErrorPlatformTest, ANetworkingErrorKeepsItsCodeAndUserInfo) {
    const PlatformError offline{kURLErrorDomain,
                                -1009,
                                {{kLocalizedDescriptionKey, "The Internet connection appears to be offline."},
                                 {kErrorFailingURLStringKey, "https://ekyc.example.com/v1/ocr"}}};
    const EKYCAPIError error(offline);

    EXPECT_EQ(error.domain(), "ai.qorix.sdk");
    EXPECT_EQ(error.code(), -1009);
    EXPECT_EQ(error.userInfo(), offline.userInfo);
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
    EXPECT_FALSE(error.message().has_value());
    EXPECT_FALSE(error.status().has_value());
    EXPECT_FALSE(error.payload().has_value());
    EXPECT_EQ(error.localizedDescription(), "The Internet connection appears to be offline.");
    EXPECT_STREQ(error.what(), "ai.qorix.sdk error -1009: The Internet connection appears to be offline.");
}

TEST(EKYCAPIErrorPlatformTest, APlatformCodeThatHappensToBeKnownMapsToItsCodeType) {
    EXPECT_EQ(EKYCAPIError(PlatformError{"Other", -906, {}}).codeType(), EKYCAPIErrorCode::response);
    EXPECT_EQ(EKYCAPIError(PlatformError{kURLErrorDomain, -1001, {}}).codeType(), EKYCAPIErrorCode::unknow);
}

TEST(EKYCAPIErrorPlatformTest, TheDesignatedConstructorKeepsTheGivenDomain) {
    const EKYCAPIError error("Custom.Domain", 12, {{"k", "v"}});
    EXPECT_EQ(error.domain(), "Custom.Domain");
    EXPECT_EQ(error.code(), 12);
    EXPECT_EQ(error.userInfo(), (UserInfo{{"k", "v"}}));
    EXPECT_FALSE(error.message().has_value());
    EXPECT_FALSE(error.status().has_value());
    EXPECT_FALSE(error.payload().has_value());
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
    EXPECT_EQ(error.localizedDescription(),
              "The operation couldn\u2019t be completed. (Custom.Domain error 12.)");
}

// ---- codeType ----

TEST(EKYCAPIErrorCodeTypeTest, EveryKnownCodeMapsToItself) {
    const std::vector<std::pair<int, EKYCAPIErrorCode>> known{
        {-900, EKYCAPIErrorCode::urlNil},           {-901, EKYCAPIErrorCode::httpBodyNil},
        {-902, EKYCAPIErrorCode::indexOutOfBounce}, {-903, EKYCAPIErrorCode::noStatusCode},
        {-904, EKYCAPIErrorCode::noReturnData},     {-905, EKYCAPIErrorCode::decodeReceivedDataFail},
        {-906, EKYCAPIErrorCode::response},         {-1000, EKYCAPIErrorCode::unknow},
    };
    for (const auto& [raw, type] : known) {
        EXPECT_EQ(EKYCAPIError(raw).codeType(), type) << raw;
        EXPECT_EQ(EKYCAPIError(type).code(), raw) << raw;
    }
}

TEST(EKYCAPIErrorCodeTypeTest, AnyOtherCodeIsUnknow) {
    for (int raw : {0, 1, 2, 401, 500, -899, -907, -999, -1001, -1009, INT_MIN, INT_MAX}) {
        EXPECT_EQ(EKYCAPIError(raw).codeType(), EKYCAPIErrorCode::unknow) << raw;
        EXPECT_EQ(EKYCAPIError(raw).code(), raw);
    }
}

// ---- descriptions ----

TEST(EKYCAPIErrorDescriptionTest, WhatNamesDomainCodeStatusAndMessage) {
    EXPECT_STREQ(EKYCAPIError(-906, kUnauthorized, "Token expired").what(),
                 "ai.qorix.sdk error -906 (HTTP 401): Token expired");
    EXPECT_STREQ(EKYCAPIError(-1000).what(), "ai.qorix.sdk error -1000");
    EXPECT_STREQ(EKYCAPIError(2, std::nullopt, "Document expired").what(),
                 "ai.qorix.sdk error 2: Document expired");
    // The message taken from the envelope is the one described.
    EXPECT_STREQ(responseError("given", makeData(R"({"message":"served"})")).what(),
                 "ai.qorix.sdk error -906 (HTTP 401): served");
}

TEST(EKYCAPIErrorDescriptionTest, LocalizedDescriptionIsGenericWithoutUserInfo) {
    const EKYCAPIError error(-906, kUnauthorized, "Token expired");
    EXPECT_EQ(error.localizedDescription(),
              "The operation couldn\u2019t be completed. (ai.qorix.sdk error -906.)");
}

TEST(EKYCAPIErrorDescriptionTest, PlatformErrorDescriptions) {
    EXPECT_EQ((PlatformError{kURLErrorDomain, -1001, {}}).localizedDescription(),
              "The operation couldn\u2019t be completed. (NSURLErrorDomain error -1001.)");
    EXPECT_EQ((PlatformError{kURLErrorDomain, -1001, {{kLocalizedDescriptionKey, "The request timed out."}}})
                  .localizedDescription(),
              "The request timed out.");
}

TEST(EKYCAPIErrorDescriptionTest, IsCatchableAsAStandardException) {
    try {
        throw EKYCAPIError(-905, EKYCHTTPStatusCode(EKYCHTTPStatusCode::ok), "bad body");
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "ai.qorix.sdk error -905 (HTTP 200): bad body");
    }
}

}  // namespace
}  // namespace ovira

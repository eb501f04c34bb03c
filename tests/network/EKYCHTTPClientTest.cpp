// How the HTTP client forms requests and classifies answers, without a server.
#include <gtest/gtest.h>

#include <regex>

#include "network/ResponseClassification.h"
#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/EKYCHTTPClient.h"
#include "support/LogCapture.h"

namespace ovira {
namespace {

class RequestBuilding : public ::testing::Test {
protected:
    EKYCHTTPClient client{EKYCHTTPClient::Configuration{}};
};

TEST_F(RequestBuilding, PathIsAppendedVerbatimAndTheQueryIsAlwaysSet) {
    auto request =
        client.makeRequest("https://api.example.com/v1/ekyc", "/getInfo", {}, {}, EKYCHTTPMethod::get);
    EXPECT_EQ(request.url, "https://api.example.com/v1/ekyc/getInfo?");
    request = client.makeRequest("https://api.example.com/v1/ekyc", "getInfo", {}, {}, EKYCHTTPMethod::get);
    EXPECT_EQ(request.url, "https://api.example.com/v1/ekycgetInfo?");
    request =
        client.makeRequest("https://api.example.com/v1/ekyc", std::nullopt, {}, {}, EKYCHTTPMethod::post);
    EXPECT_EQ(request.url, "https://api.example.com/v1/ekyc?");
    EXPECT_EQ(request.method, "POST");
}

TEST_F(RequestBuilding, ParametersReplaceAnyQueryAndAreEncoded) {
    const auto request =
        client.makeRequest("https://h.example/p?old=1#top", std::nullopt, {},
                           {{"b", "x y+z&w=v"}, {"a", 42}, {"c", true}, {"d", 1.5}}, EKYCHTTPMethod::get);
    EXPECT_EQ(request.url, "https://h.example/p?a=42&b=x%20y%2Bz%26w%3Dv&c=true&d=1.5#top");
}

TEST_F(RequestBuilding, HeadersMethodAndTimeOutAreCarried) {
    EKYCHTTPClient::Configuration configuration;
    configuration.timeoutInterval = 7.5;
    EKYCHTTPClient patient(configuration);
    const auto request = patient.makeRequest("https://h.example", "/x", {{"language", "vi"}, {"appID", ""}},
                                             {}, EKYCHTTPMethod::delete_);
    EXPECT_EQ(request.method, "DELETE");
    EXPECT_EQ(request.headers, (HTTPHeaders{{"language", "vi"}, {"appID", ""}}));
    EXPECT_DOUBLE_EQ(request.timeoutInterval, 7.5);
    EXPECT_FALSE(request.body);
}

TEST_F(RequestBuilding, UnformableUrlsAreUrlNil) {
    for (const char* url :
         {"", "not a url", "https://exa mple.com", "://missing-scheme", "https://h.example/a\nb"}) {
        try {
            client.makeRequest(url, "/x", {}, {}, EKYCHTTPMethod::get);
            ADD_FAILURE() << "accepted " << url;
        } catch (const EKYCAPIError& error) {
            EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::urlNil) << url;
            EXPECT_FALSE(error.status());
            EXPECT_FALSE(error.message());
        }
    }
}

TEST_F(RequestBuilding, JsonBodyAddsItsContentType) {
    EKYCHTTPRequest request;
    EKYCHTTPClient::setJSONBody(request, makeData("{}"));
    EXPECT_EQ(request.headers.at("Content-Type"), "application/json");
    EXPECT_EQ(asStringView(*request.body), "{}");

    EKYCHTTPRequest typed;
    typed.headers["content-type"] = "text/plain";
    EKYCHTTPClient::setJSONBody(typed, makeData("[]"));
    EXPECT_EQ(typed.headers.size(), 1u);
    EXPECT_EQ(typed.headers.at("content-type"), "text/plain,application/json");
}

TEST_F(RequestBuilding, MultipartBodyDeclaresItsBoundaryAndLength) {
    EKYCHTTPRequest request;
    EKYCHTTPClient::setMultipartBody(
        request, {std::make_shared<MultipartFormData>(MultipartFormData::String{"BACK"}, "type")});
    const std::string contentType = request.headers.at("Content-Type");
    std::smatch match;
    ASSERT_TRUE(
        std::regex_match(contentType, match,
                         std::regex("multipart/form-data; boundary=(networking\\.boundary\\.[0-9a-f]{16})")));
    const std::string boundary = match[1];
    EXPECT_EQ(request.headers.at("Content-Length"), std::to_string(request.body->size()));
    EXPECT_EQ(asStringView(*request.body),
              "--" + boundary + "\r\nContent-Disposition: form-data; name=\"type\"\r\n\r\nBACK\r\n--" +
                  boundary + "--\r\n");
}

TEST(ResponseClassification, EveryKindOfAnswer) {
    const Data body = makeData("{}");
    EXPECT_EQ(classifyResponse(200, body), ResponseOutcome::success);
    EXPECT_EQ(classifyResponse(226, body), ResponseOutcome::success);
    EXPECT_EQ(classifyResponse(204, Data{}),
              ResponseOutcome::success);  // empty, but present: decoding decides
    EXPECT_EQ(classifyResponse(200, std::nullopt), ResponseOutcome::noReturnData);
    EXPECT_EQ(classifyResponse(404, std::nullopt), ResponseOutcome::noReturnData);
    for (long status : {301L, 304L, 400L, 401L, 418L, 500L, 511L}) {
        EXPECT_EQ(classifyResponse(status, body), ResponseOutcome::failure) << status;
    }
    // A final informational answer must end the exchange like any other failure.
    for (long status : {100L, 101L, 102L})
        EXPECT_EQ(classifyResponse(status, body), ResponseOutcome::failure);
    for (long status : {0L, 103L, 299L, 419L, 509L, 599L, 600L, -1L, 1L << 40}) {
        EXPECT_EQ(classifyResponse(status, body), ResponseOutcome::noStatusCode) << status;
    }
}

TEST(ResponseDecoding, PlainTextFallbackNeedsTextPlainAndATextResult) {
    EKYCHTTPClient client{EKYCHTTPClient::Configuration{}};
    test::LogCapture log;
    EKYCHTTPClient::Response response{EKYCHTTPStatusCode::ok,
                                      {{"content-type", "text/plain; charset=utf-8"}},
                                      makeData("chào"),
                                      "https://h.example/x?"};
    EXPECT_EQ(client.decodeResponse<std::string>(response, *JSONDecoder::shared()), "chào");

    response.body = Data{0xC3, 0x28};  // not UTF-8
    try {
        client.decodeResponse<std::string>(response, *JSONDecoder::shared());
        ADD_FAILURE() << "invalid UTF-8 must not become text";
    } catch (const EKYCAPIError& error) {
        EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::decodeReceivedDataFail);
        EXPECT_EQ(*error.status(), EKYCHTTPStatusCode::ok);
    }
    EXPECT_NE(log.lineContaining("- decodeReceivedDataFail: "), "");
}

TEST(ResponseDecoding, EnvelopeBodiesThatDoNotFitKeepTheServiceMessage) {
    EKYCHTTPClient client{EKYCHTTPClient::Configuration{}};
    test::LogCapture log;
    const EKYCHTTPClient::Response response{EKYCHTTPStatusCode::ok,
                                            {},
                                            makeData(R"({"statusCode":0,"data":[1,2],"message":"xong"})"),
                                            "https://h/x?"};
    try {
        client.decodeResponse<EKYCBaseApiResponse<std::string>>(response, *JSONDecoder::shared());
        ADD_FAILURE();
    } catch (const EKYCAPIError& error) {
        EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::decodeReceivedDataFail);
        EXPECT_EQ(error.message(), "xong");
    }
}

TEST(HTTPParameterValue, TextualForms) {
    EXPECT_EQ(HTTPParameterValue("x").description(), "x");
    EXPECT_EQ(HTTPParameterValue(-12).description(), "-12");
    EXPECT_EQ(HTTPParameterValue(std::int64_t{9007199254740993}).description(), "9007199254740993");
    EXPECT_EQ(HTTPParameterValue(false).description(), "false");
    EXPECT_EQ(HTTPParameterValue(2.0).description(), "2.0");
    EXPECT_EQ(HTTPParameterValue(0.1).description(), "0.1");
}

}  // namespace
}  // namespace ovira

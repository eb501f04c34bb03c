// How the HTTP client forms requests and classifies answers, without a server
// (HTTPClientTLSTest sends them to one).
#include <gtest/gtest.h>

#include <regex>
#include <tuple>

#include "network/ResponseClassification.h"
#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/EKYCHTTPClient.h"
#include "support/ExpectFailure.h"

namespace ovira {
namespace {

class RequestBuilding : public ::testing::Test {
protected:
    EKYCHTTPClient client{EKYCHTTPClient::Configuration{}};
};

TEST_F(RequestBuilding, PathIsAppendedVerbatimAndParametersReplaceAnyQuery) {
    const std::string base = "https://api.example.com/v1/ekyc";
    using Row = std::tuple<std::string, std::optional<std::string>, HTTPParameters, std::string>;
    const HTTPParameters params{{"b", "x y+z&w=v"}, {"a", 42}, {"c", true}, {"d", 1.5}};
    // clang-format off
    for (const auto& [url, path, parameters, expected] : std::vector<Row>{
             {base, "/getInfo", {}, base + "/getInfo?"}, {base, "getInfo", {}, base + "getInfo?"},
             {base, std::nullopt, {}, base + "?"},  // the query is always set
             {"https://h.example/p?old=1#top", std::nullopt, params,
              "https://h.example/p?a=42&b=x%20y%2Bz%26w%3Dv&c=true&d=1.5#top"}}) {
        // clang-format on
        EXPECT_EQ(client.makeRequest(url, path, {}, parameters, EKYCHTTPMethod::get).url, expected);
    }
    EXPECT_EQ(client.makeRequest(base, std::nullopt, {}, {}, EKYCHTTPMethod::post).method, "POST");
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
        SCOPED_TRACE(url);
        const auto error =
            test::failureOf([&] { client.makeRequest(url, "/x", {}, {}, EKYCHTTPMethod::get); });
        EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::urlNil);
        EXPECT_FALSE(error.status() || error.message());
    }
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

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "DevServerTestSupport.h"
#include "support/TemporaryDirectory.h"

namespace ovira::devserver::test {
namespace {

using nlohmann::json;
using std::chrono::milliseconds;

class DevServerFaults : public ::testing::Test {
protected:
    void TearDown() override { sharedServer().clearFaults(); }
    httplib::Result get(const char* path = "/v1/ekyc/listCountry") {
        return client->Get(path, sessionHeaders("faults"));
    }
    std::unique_ptr<httplib::SSLClient> client = connect(sharedServer());
};

bool isCountryList(const httplib::Result& result) {
    return result && result->status == 200 && bodyOf(result)["statusCode"] == 0 &&
           bodyOf(result)["data"].size() > 200;
}

TEST_F(DevServerFaults, EachSwitchIsWhatTheClientSees) {
    struct Case {
        const char* effect;
        int status;  // 0: no answer at all
        std::function<bool(const httplib::Result&)> fits;
    };
    // clang-format off
    const Case cases[] = {
        {"status=503", 503, [](auto& r) { return bodyOf(r)["statusCode"] == 503; }},
        {"code=77,message=Phiên đã hết hạn", 200, [](auto& r) {
             return bodyOf(r) == json{{"statusCode", 77}, {"data", nullptr}, {"message", "Phiên đã hết hạn"}}; }},
        {"delay=400", 200, isCountryList},
        {"malformed", 200, [](auto& r) { return !r->body.empty() && !json::accept(r->body); }},
        {"truncated", 0, nullptr},
        {"reset", 0, nullptr},
        {"oversized", 200, [](auto& r) {
             return r->body.size() >= Fault::kOversizedBytes && json::accept(r->body); }},
        {"invalid-utf8", 200, [](auto& r) {
             return r->body.find('\xFF') != std::string::npos && !json::accept(r->body); }},
        {"redirect=/v1/ekyc/listNational", 307, [](auto& r) {
             return r->get_header_value("Location") == "/v1/ekyc/listNational"; }},
        {"wrong-types", 200, [](auto& r) {
             const auto first = bodyOf(r)["data"][0];
             return bodyOf(r)["statusCode"] == 0 && first["id"].is_string() && first["name"].is_number(); }},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.effect);
        sharedServer().setFault(Fault::parse(std::string("/listCountry:") + c.effect));
        const auto started = std::chrono::steady_clock::now();
        const auto result = get();
        const auto minimum = milliseconds(std::string(c.effect) == "delay=400" ? 400 : 0);
        EXPECT_GE(std::chrono::steady_clock::now() - started, minimum);
        if (c.status == 0) {
            EXPECT_FALSE(result) << "a failed read was expected";
        } else {
            ASSERT_TRUE(result);
            EXPECT_EQ(result->status, c.status);
            EXPECT_TRUE(c.fits(result)) << result->body.substr(0, 200);
        }
        EXPECT_TRUE(isCountryList(get("/v1/ekyc/listNational"))) << "other endpoints stay well";
        sharedServer().clearFaults();
        EXPECT_TRUE(isCountryList(get())) << "the client must recover once cleared";
    }
}

TEST_F(DevServerFaults, EndpointFaultWinsOverStarAndCountsRunOut) {
    sharedServer().setFault(Fault::parse("*:code=9"));
    sharedServer().setFault(Fault::parse("/v1/ekyc/listCountry:status=500,count=2"));
    EXPECT_EQ(get()->status, 500);
    EXPECT_EQ(get()->status, 500);
    EXPECT_EQ(bodyOf(get())["statusCode"], 9) << "the star fault takes over once the count is spent";
    EXPECT_EQ(bodyOf(get("/v1/ekyc/listNational"))["statusCode"], 9);
}

TEST_F(DevServerFaults, ControlEndpointSetsAndRefuses) {
    const auto post = [&](const std::string& body) {
        return client->Post("/__control/faults", body, "application/json");
    };
    for (const auto* bad :
         {R"([{"path": "/listCountry", "code": 12}, {"path": "/getInfo"}])",
          R"({"path": "/listCountry", "colour": "red"})", R"({"path": "/nope", "reset": true})",
          R"({"path": "/getInfo", "status": "500"})", "not json"}) {
        EXPECT_EQ(post(bad)->status, 400) << bad;
    }
    EXPECT_TRUE(isCountryList(get())) << "a refused fault, even in an array, must not apply";
    ASSERT_EQ(post(R"([{"path": "/listCountry", "code": 12, "message": "bảo trì"}])")->status, 200);
    EXPECT_EQ(bodyOf(get())["message"], "bảo trì");
}

TEST(DevServerFaultSyntax, CommandLineFormParsesOrExplains) {
    const auto fault = Fault::parse("/getInfo:status=500,delay=250,count=3,invalid-utf8,message=a, b");
    EXPECT_EQ(fault.toJSON(), json::parse(R"({"path": "/getInfo", "status": 500, "delay": 250, "count": 3,
                                             "invalidUtf8": true, "message": "a, b"})"));
    EXPECT_EQ(Fault::parse("*:trickle=300").toJSON(), json::parse(R"({"path": "*", "trickle": 300})"));
    EXPECT_EQ(Fault::fromJSON(json::parse(R"({"path": "/getInfo", "trickle": 20})")).trickle, milliseconds(20));
    for (const auto* bad : {"/getInfo", "/getInfo:", "/getInfo:status=5000", "/getInfo:delay=-1", "/getInfo:trickle=0",
                            "/getInfo:colour=red", "/getinfo:reset", "/getInfo:reset=1"}) {
        EXPECT_THROW(Fault::parse(bad), std::invalid_argument) << bad;
    }
    // Faults given at start are in force from the first request.
    ovira::test::TemporaryDirectory folder;
    auto options = optionsIn(folder.path());
    options.faults = {Fault::parse("/listNational:code=5,message=x")};
    DevServer server(options);
    server.start();
    EXPECT_EQ(bodyOf(connect(server)->Get("/v1/ekyc/listNational", sessionHeaders("cli")))["statusCode"], 5);
}

}  // namespace
}  // namespace ovira::devserver::test

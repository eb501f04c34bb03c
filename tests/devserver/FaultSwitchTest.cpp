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

    httplib::Result listCountry(const std::string& path = "/v1/ekyc/listCountry") {
        return client->Get(path.c_str(), sessionHeaders("faults"));
    }

    std::unique_ptr<httplib::SSLClient> client = connect(sharedServer());
};

bool isCountryList(const httplib::Result& result) {
    const auto body = bodyOf(result);
    return result && result->status == 200 && body.is_object() && body["statusCode"] == 0 &&
           body["data"].size() > 200;
}

TEST_F(DevServerFaults, EachSwitchIsWhatTheClientSees) {
    struct Case {
        const char* name;
        Fault fault;
        std::function<void(const httplib::Result&, milliseconds)> check;
    };
    const Case cases[] = {
        {"HTTP status", Fault::parse("/listCountry:status=503"),
         [](const httplib::Result& r, milliseconds) {
             ASSERT_TRUE(r);
             EXPECT_EQ(r->status, 503);
             EXPECT_EQ(bodyOf(r)["statusCode"], 503);
             EXPECT_FALSE(bodyOf(r)["message"].get<std::string>().empty());
         }},
        {"envelope", Fault::parse("/listCountry:code=77,message=Phiên đã hết hạn"),
         [](const httplib::Result& r, milliseconds) {
             ASSERT_TRUE(r);
             EXPECT_EQ(r->status, 200);
             EXPECT_EQ(bodyOf(r),
                       (json{{"statusCode", 77}, {"data", nullptr}, {"message", "Phiên đã hết hạn"}}));
         }},
        {"delay", Fault::parse("/listCountry:delay=400"),
         [](const httplib::Result& r, milliseconds elapsed) {
             EXPECT_GE(elapsed, milliseconds(400));
             EXPECT_TRUE(isCountryList(r));
         }},
        {"malformed", Fault::parse("/listCountry:malformed"),
         [](const httplib::Result& r, milliseconds) {
             ASSERT_TRUE(r);
             EXPECT_EQ(r->status, 200);
             EXPECT_FALSE(r->body.empty());
             EXPECT_FALSE(json::accept(r->body));
         }},
        {"truncated", Fault::parse("/listCountry:truncated"),
         [](const httplib::Result& r, milliseconds) {
             EXPECT_FALSE(r) << "a short body must fail the read";
         }},
        {"reset", Fault::parse("/listCountry:reset"),
         [](const httplib::Result& r, milliseconds) { EXPECT_FALSE(r) << "no answer was expected"; }},
        {"oversized", Fault::parse("/listCountry:oversized"),
         [](const httplib::Result& r, milliseconds) {
             ASSERT_TRUE(r);
             EXPECT_GE(r->body.size(), Fault::kOversizedBytes);
             EXPECT_EQ(r->get_header_value("Content-Length"), std::to_string(r->body.size()));
             EXPECT_TRUE(json::accept(r->body));
         }},
        {"invalid UTF-8", Fault::parse("/listCountry:invalid-utf8"),
         [](const httplib::Result& r, milliseconds) {
             ASSERT_TRUE(r);
             EXPECT_NE(r->body.find('\xFF'), std::string::npos);
             EXPECT_FALSE(json::accept(r->body)) << "a strict parser must refuse it";
         }},
        {"wrong types", Fault::parse("/listCountry:wrong-types"),
         [](const httplib::Result& r, milliseconds) {
             const auto first = bodyOf(r)["data"][0];
             EXPECT_TRUE(first["id"].is_string()) << first.dump();
             EXPECT_TRUE(first["name"].is_number()) << first.dump();
             EXPECT_EQ(bodyOf(r)["statusCode"], 0) << "only data changes";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sharedServer().setFault(c.fault);
        const auto started = std::chrono::steady_clock::now();
        const auto result = listCountry();
        c.check(result, std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - started));
        EXPECT_TRUE(isCountryList(listCountry("/v1/ekyc/listNational"))) << "other endpoints stay well";
        sharedServer().clearFaults();
        EXPECT_TRUE(isCountryList(listCountry())) << "the client must recover once cleared";
    }
}

TEST_F(DevServerFaults, EndpointFaultWinsOverStarAndCountsRunOut) {
    sharedServer().setFault(Fault::parse("*:code=9"));
    sharedServer().setFault(Fault::parse("/v1/ekyc/listCountry:status=500,count=2"));
    EXPECT_EQ(listCountry()->status, 500);
    EXPECT_EQ(listCountry()->status, 500);
    EXPECT_EQ(bodyOf(listCountry())["statusCode"], 9) << "the star fault takes over once the count is spent";
    EXPECT_EQ(bodyOf(listCountry("/v1/ekyc/listNational"))["statusCode"], 9);
    EXPECT_EQ(sharedServer().faults().size(), 1u);
    Fault misspelt;
    misspelt.path = "/getinfo";
    misspelt.httpStatus = 500;
    EXPECT_THROW(sharedServer().setFault(misspelt), std::invalid_argument);
}

TEST_F(DevServerFaults, ControlEndpointSetsListsAndClears) {
    const auto post = [&](const std::string& body) {
        return client->Post("/__control/faults", body, "application/json");
    };
    const auto set = post(
        R"([{"path": "/listCountry", "code": 12, "message": "bảo trì"}, {"path": "/getInfo", "delay": 10}])");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->status, 200);
    EXPECT_EQ(bodyOf(client->Get("/__control/faults")).size(), 2u);
    EXPECT_EQ(bodyOf(listCountry())["message"], "bảo trì");

    for (const auto* bad :
         {R"({"path": "/listCountry", "colour": "red"})", R"({"path": "/nope", "reset": true})",
          R"({"path": "/getInfo"})", R"({"path": "/getInfo", "status": "500"})", "not json"}) {
        SCOPED_TRACE(bad);
        const auto refused = post(bad);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 400);
        EXPECT_TRUE(bodyOf(refused)["error"].is_string());
    }
    ASSERT_TRUE(client->Delete("/__control/faults"));
    EXPECT_TRUE(isCountryList(listCountry()));
}

TEST(DevServerFaultSyntax, CommandLineFormParsesOrExplains) {
    const auto fault =
        Fault::parse("/getInfo:status=500,delay=250,count=3,malformed,invalid-utf8,message=a, b");
    EXPECT_EQ(fault.path, "/getInfo");
    EXPECT_EQ(fault.httpStatus, 500);
    EXPECT_EQ(fault.delay, milliseconds(250));
    EXPECT_EQ(fault.count, 3);
    EXPECT_TRUE(fault.malformedJSON && fault.invalidUTF8);
    EXPECT_FALSE(fault.truncatedBody || fault.resetConnection || fault.oversizedBody || fault.wrongTypes);
    EXPECT_EQ(fault.message, "a, b");
    const auto all = Fault::parse("*:truncated,reset,oversized,wrong-types,code=-3");
    EXPECT_TRUE(all.truncatedBody && all.resetConnection && all.oversizedBody && all.wrongTypes);
    EXPECT_EQ(all.statusCode, -3);

    for (const auto* bad :
         {"/getInfo", ":status=500", "/getInfo:", "/getInfo:status=5000", "/getInfo:delay=-1",
          "/getInfo:status=abc", "/getInfo:colour=red", "/getinfo:reset", "/getInfo:reset=1"}) {
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

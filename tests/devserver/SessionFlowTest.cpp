#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "DevServerTestSupport.h"
#include "devserver/IdentityForms.h"
#include "pki/CertificateAuthority.h"
#include "support/TemporaryDirectory.h"

namespace ovira::devserver::test {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

TEST(DevServerCertificates, MadeOnceThenReusedAndReissuedWhenMissingOrExpired) {
    ovira::test::TemporaryDirectory folder;
    const auto serve = [&] {
        DevServer server(optionsIn(folder.path()));
        server.start();
        EXPECT_EQ(server.caFile(), folder / "ca.pem");
        const auto result = connect(server)->Get("/v1/ekyc/listCountry", sessionHeaders("certificates"));
        EXPECT_TRUE(result) << "TLS with the server's own CA failed: " << httplib::to_string(result.error());
        return std::pair{pki::readFile(folder / "ca.pem"), pki::readFile(folder / "server.pem")};
    };
    const auto [ca, certificate] = serve();
    for (const auto* key : {"ca.key", "server.key"}) {
        EXPECT_EQ(fs::status(folder / key).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_EQ(serve(), std::pair(ca, certificate)) << "a second start must reuse both";

    fs::remove(folder / "server.pem");
    const auto [caAfterMissing, reissued] = serve();
    EXPECT_EQ(caAfterMissing, ca);
    EXPECT_NE(reissued, certificate);

    const auto authority = pki::CertificateAuthority::fromPem(ca, pki::readFile(folder / "ca.key"));
    pki::CertificateOptions past;
    past.notBefore = std::chrono::hours(-48);
    past.notAfter = std::chrono::hours(-24);
    const auto expired = authority.issue(past);
    pki::writeFile(folder / "server.pem", expired.certificatePem,
                   fs::perms::owner_read | fs::perms::owner_write);
    pki::writeFile(folder / "server.key", expired.privateKeyPem,
                   fs::perms::owner_read | fs::perms::owner_write);
    const auto [caAfterExpiry, renewed] = serve();
    EXPECT_EQ(caAfterExpiry, ca);
    EXPECT_NE(renewed, expired.certificatePem);
}

TEST(DevServerAuthorization, RefusesMissingSessionAndUnknownApp) {
    ovira::test::TemporaryDirectory folder;
    auto options = optionsIn(folder.path());
    options.appIDs = {"app-one", "app-two"};
    DevServer server(options);
    server.start();
    auto client = connect(server);
    struct Case {
        const char* name;
        httplib::Headers headers;
        int status;
    };
    const Case cases[] = {
        {"no transactionId", {{"appID", "app-one"}}, 401},
        {"empty transactionId", {{"appID", "app-one"}, {"transactionId", ""}}, 401},
        {"unknown appID", {{"appID", "intruder"}, {"transactionId", "t"}}, 401},
        {"no appID", {{"transactionId", "t"}}, 401},
        {"known appID", {{"appID", "app-two"}, {"transactionId", "t"}}, 200},
    };
    std::set<std::string> messages;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = client->Get("/v1/ekyc/listNational", c.headers);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status);
        const auto body = bodyOf(result);
        EXPECT_EQ(body["statusCode"], c.status == 200 ? 0 : 401);
        EXPECT_FALSE(body["message"].get<std::string>().empty());
        if (c.status == 401) messages.insert(body["message"].get<std::string>());
    }
    EXPECT_EQ(messages.size(), 2u) << "missing session and unknown app deserve different messages";

    auto english =
        client->Get("/v1/ekyc/getInfo", {{"appID", "intruder"}, {"transactionId", "t"}, {"language", "en"}});
    ASSERT_TRUE(english);
    EXPECT_EQ(bodyOf(english)["message"], "This application (appID) is not allowed to use the service.");
}

json getInfo(httplib::SSLClient& client, const std::string& session, const std::string& language = "vi") {
    return bodyOf(client.Get("/v1/ekyc/getInfo", sessionHeaders(session, language)));
}

struct DocumentCase {
    const char* endpoint;
    std::vector<std::string> sides;
    const char* identityType;
};
const DocumentCase kDocuments[] = {
    {"/nationId", {"FRONT", "BACK"}, "NATIONAL_ID"},
    {"/driverlicense", {"FRONT", "BACK"}, "DRIVER_LICENSE"},
    {"/passport", {""}, "PASSPORT"},
};

// Has every photograph of a session accepted; getInfo must refuse until the last.
void completeSession(httplib::SSLClient& client, const std::string& session, const DocumentCase& document) {
    static const auto card = encode(drawCard());
    static const auto face = testImage("astronaut.png");
    int number = -1;
    std::set<std::string> requestIds;
    const auto accepted = [&](const httplib::Result& result, int type, const char* action) {
        const auto answer = bodyOf(result);
        ASSERT_EQ(answer["statusCode"], 0) << answer.dump();
        const auto& data = answer["data"];
        EXPECT_EQ(data["type"], type);
        EXPECT_EQ(data["action"], action);
        if (number >= 0) {
            EXPECT_EQ(data["transactionId"], number) << "one session, one transaction number";
        }
        number = data["transactionId"].get<int>();
        requestIds.insert(data["requestId"].get<std::string>());
    };
    const auto refused = [&] {
        const auto info = getInfo(client, session);
        EXPECT_NE(info["statusCode"], 0);
        EXPECT_FALSE(info["message"].get<std::string>().empty());
    };
    for (const auto& side : document.sides) {
        refused();
        const int type = side == "FRONT" ? 1 : side == "BACK" ? 2 : 3;
        accepted(upload(client, document.endpoint, sessionHeaders(session), card, side), type,
                 side == "FRONT" ? "UPLOAD_BACK" : "CAPTURE_FACE");
    }
    refused();
    accepted(upload(client, "/captureFace", sessionHeaders(session), face), 4, "CONFIRM_INFO");
    EXPECT_EQ(requestIds.size(), document.sides.size() + 1);
}

std::chrono::sys_days daysOf(const json& field) {
    const auto date = parseDate(field["fieldValue"].get<std::string>());
    EXPECT_TRUE(date) << field.dump();
    return date ? std::chrono::sys_days(*date) : std::chrono::sys_days();
}

TEST(DevServerSession, GetInfoAnswersOnlyOnceEveryPhotoOfTheDocumentIsAccepted) {
    auto client = connect(sharedServer());
    const auto countries = bodyOf(client->Get("/v1/ekyc/listCountry", sessionHeaders("lists")))["data"];
    const auto today = std::chrono::sys_days(localToday());
    for (const auto& document : kDocuments) {
        SCOPED_TRACE(document.endpoint);
        const std::string session = std::string("info") + document.endpoint;
        completeSession(*client, session, document);

        const auto answer = getInfo(*client, session);
        ASSERT_EQ(answer["statusCode"], 0) << answer.dump();
        const auto& info = answer["data"];
        EXPECT_EQ(info["identityType"], document.identityType);
        std::set<std::string> types;
        std::set<int> dateTypes;
        bool readOnly = false, undatedDate = false;
        for (const auto& field : info["form"]) {
            const auto type = field["fieldType"].get<std::string>();
            types.insert(type);
            readOnly = readOnly || !field["editable"].get<bool>();
            EXPECT_FALSE(field["fieldName"].get<std::string>().empty());
            if (type == "date") {
                const auto days = daysOf(field);
                if (!field.contains("dateType"))
                    undatedDate = true;
                else
                    dateTypes.insert(field["dateType"].get<int>());
                const int dateType = field.value("dateType", 0);
                EXPECT_TRUE(dateType == 0 || (dateType == 1 && days < today) ||
                            (dateType == 2 && days > today))
                    << field.dump();
            }
            if (type == "gender") {
                EXPECT_TRUE(field["fieldValue"] == "Nam" || field["fieldValue"] == "Nữ");
            }
            if (type == "country" || type == "national") {
                EXPECT_TRUE(std::any_of(countries.begin(), countries.end(), [&](const json& c) {
                    return c["name"] == field["fieldValue"];
                })) << field.dump();
            }
        }
        EXPECT_EQ(types,
                  (std::set<std::string>{"string", "number", "date", "country", "gender", "national"}));
        EXPECT_EQ(dateTypes, (std::set<int>{1, 2}));
        EXPECT_TRUE(undatedDate);
        EXPECT_TRUE(readOnly);

        const auto english = getInfo(*client, session, "en")["data"];
        EXPECT_NE(english["identityName"], info["identityName"]);
        EXPECT_NE(english["form"][1]["fieldName"], info["form"][1]["fieldName"]);
        EXPECT_EQ(english["form"][0]["id"], info["form"][0]["id"]);
    }
}

TEST(DevServerSession, SubmitInfoRecordsGoodSubmissionsAndRefusesBadOnes) {
    auto& server = sharedServer();
    auto client = connect(server);
    const std::string session = "submit";
    completeSession(*client, session, kDocuments[0]);
    const auto form = getInfo(*client, session)["data"]["form"];
    const auto submit = [&](const std::string& body) {
        return bodyOf(client->Post("/v1/ekyc/submitInfo", sessionHeaders(session), body, "application/json"));
    };
    const auto edited = [&](int index, const std::string& value) {
        auto fields = form;
        fields[index]["fieldValue"] = value;
        return json{{"data", fields.dump()}}.dump();
    };
    const std::size_t before = server.submissions().size();

    // Form order: number (read-only), name, birth (past), sex, nationality, ..., expiry (future) at 8.
    const std::pair<const char*, std::string> bad[] = {
        {"not JSON", "{oops"},
        {"no data member", R"({"fields": "[]"})"},
        {"data not a string", json{{"data", form}}.dump()},
        {"text not an array", R"({"data": "{\"id\": 101}"})"},
        {"field without fieldValue", R"({"data": "[{\"id\": 102, \"cardAttributeId\": 2}]"})"},
        {"unknown field", R"({"data": "[{\"id\": 999, \"cardAttributeId\": 2, \"fieldValue\": \"x\"}]"})"},
        {"read-only field changed", edited(0, "999999999999")},
        {"ISO date", edited(2, "1990-08-15")},
        {"impossible date", edited(2, "31/02/1990")},
        {"birth in the future", edited(2, "01/01/2999")},
        {"expiry in the past", edited(8, "01/01/2000")},
        {"English sex", edited(3, "Male")},
    };
    for (const auto& [name, body] : bad) {
        SCOPED_TRACE(name);
        const auto answer = submit(body);
        EXPECT_EQ(answer["statusCode"], 3002);
        EXPECT_GT(answer["message"].get<std::string>().size(), 10u);
    }
    EXPECT_EQ(server.submissions().size(), before);

    const auto answer = submit(edited(1, "TRẦN THỊ BÌNH"));
    ASSERT_EQ(answer["statusCode"], 0) << answer.dump();
    EXPECT_EQ(answer["data"], true);
    const auto recorded = bodyOf(client->Get("/__control/submissions?transactionId=submit"));
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0]["identityType"], "NATIONAL_ID");
    EXPECT_EQ(recorded[0]["fields"][1]["fieldValue"], "TRẦN THỊ BÌNH");

    std::ifstream file(server.dataDir() / "submissions.jsonl");
    std::string line, last;
    while (std::getline(file, line)) last = line;
    EXPECT_EQ(json::parse(last), recorded[0]);
}

TEST(DevServerRequestLog, ShowsHeadersPartsAndBodiesAsSent) {
    auto& server = sharedServer();
    auto client = connect(server);
    client->set_keep_alive(true);
    ASSERT_TRUE(client->Delete("/__control/requests"));
    const auto photo = encode(drawCard());
    upload(*client, "/nationId", sessionHeaders("log", "en"), photo, "FRONT");
    client->Post("/v1/ekyc/submitInfo", sessionHeaders("log"), R"({"data": "[]"})", "application/json");
    // Many small uploads over one connection: the server must not close it after a few.
    for (int i = 0; i < 20; ++i) upload(*client, "/captureFace", sessionHeaders("log"), "not an image");

    const auto log = bodyOf(client->Get("/__control/requests"));
    ASSERT_EQ(log.size(), 22u);
    const auto& first = log[0];
    EXPECT_EQ(first["method"], "POST");
    EXPECT_EQ(first["path"], "/v1/ekyc/nationId");
    EXPECT_EQ(first["headers"]["language"], "en");
    EXPECT_EQ(first["headers"]["appID"], "ovira-tests");
    EXPECT_EQ(first["headers"]["transactionId"], "log");
    ASSERT_EQ(first["parts"].size(), 2u);
    EXPECT_EQ(first["parts"][0], (json{{"name", "file"},
                                       {"filename", "photo.png"},
                                       {"contentType", "image/png"},
                                       {"size", photo.size()}}));
    EXPECT_EQ(first["parts"][1]["name"], "type");
    EXPECT_EQ(first["parts"][1]["text"], "FRONT");
    EXPECT_EQ(first["verdict"]["accepted"], true);
    EXPECT_EQ(log[1]["body"], (json{{"data", "[]"}}));
    EXPECT_EQ(log[1]["response"]["statusCode"], 3002);
    std::set<std::string> connections;
    for (const auto& entry : log) connections.insert(entry["connection"].get<std::string>());
    EXPECT_EQ(connections.size(), 1u) << "the requests should have shared one connection";

    ASSERT_TRUE(client->Delete("/__control/requests"));
    EXPECT_TRUE(server.requests().empty());
}

}  // namespace
}  // namespace ovira::devserver::test

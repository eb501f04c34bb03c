#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
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
using namespace std::chrono_literals;
constexpr auto kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;

TEST(DevServerCertificates, MadeOnceThenReusedAndReissuedWhenMissingOrExpired) {
    ovira::test::TemporaryDirectory folder;
    // Starts a server on the folder, proves TLS against its CA, returns {CA, server certificate}.
    const auto serve = [&] {
        DevServer server(optionsIn(folder.path()));
        server.start();
        const auto result = connect(server)->Get("/v1/ekyc/listCountry", sessionHeaders("certificates"));
        EXPECT_TRUE(result) << "TLS with the server's own CA failed: " << httplib::to_string(result.error());
        return std::pair{pki::readFile(folder / "ca.pem"), pki::readFile(folder / "server.pem")};
    };
    const auto first = serve();
    for (const auto* key : {"ca.key", "server.key"})
        EXPECT_EQ(fs::status(folder / key).permissions() & fs::perms::all, kOwnerOnly) << key;
    EXPECT_EQ(serve(), first) << "a second start must reuse both";

    fs::remove(folder / "server.pem");
    const auto afterMissing = serve();
    EXPECT_EQ(afterMissing.first, first.first);
    EXPECT_NE(afterMissing.second, first.second);

    const auto authority = pki::CertificateAuthority::fromPem(first.first, pki::readFile(folder / "ca.key"));
    const auto expired = authority.issue({.notBefore = -48h, .notAfter = -24h});
    pki::writeFile(folder / "server.pem", expired.certificatePem, kOwnerOnly);
    pki::writeFile(folder / "server.key", expired.privateKeyPem, kOwnerOnly);
    const auto afterExpiry = serve();
    EXPECT_EQ(afterExpiry.first, first.first);
    EXPECT_NE(afterExpiry.second, expired.certificatePem);
}

TEST(DevServerAuthorization, RefusesMissingSessionAndUnknownApp) {
    ovira::test::TemporaryDirectory folder;
    auto options = optionsIn(folder.path());
    options.appIDs = {"app-one", "app-two"};
    DevServer server(options);
    server.start();
    auto client = connect(server);
    const std::pair<httplib::Headers, int> cases[] = {
        {{{"appID", "app-one"}}, 401},
        {{{"appID", "intruder"}, {"transactionId", "t"}}, 401},
        {{{"transactionId", "t"}}, 401},
        {{{"appID", "app-two"}, {"transactionId", "t"}}, 200},
    };
    std::set<std::string> messages;
    for (const auto& [headers, status] : cases) {
        SCOPED_TRACE(status == 200 ? "known app" : headers.begin()->second);
        const auto result = client->Get("/v1/ekyc/listNational", headers);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, status);
        EXPECT_EQ(bodyOf(result)["statusCode"], status == 200 ? 0 : 401);
        if (status == 401) messages.insert(bodyOf(result)["message"].get<std::string>());
    }
    EXPECT_EQ(messages.size(), 2u) << "missing session and unknown app deserve different messages";
}

json getInfo(httplib::SSLClient& client, const std::string& session, const std::string& language = "vi") {
    return bodyOf(client.Get("/v1/ekyc/getInfo", sessionHeaders(session, language)));
}
json submit(httplib::SSLClient& client, const std::string& session, const std::string& body) {
    return bodyOf(client.Post("/v1/ekyc/submitInfo", sessionHeaders(session), body, "application/json"));
}
// A submission's body: the fields as JSON text under "data".
std::string formBody(const json& fields) {
    return json{{"data", fields.dump()}}.dump();
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
    int number = -1;
    const auto accept = [&](const httplib::Result& result, int type, const char* action) {
        const auto answer = bodyOf(result);
        ASSERT_EQ(answer["statusCode"], 0) << answer.dump();
        EXPECT_EQ(answer["data"]["type"], type);
        EXPECT_EQ(answer["data"]["action"], action);
        EXPECT_TRUE(number < 0 || answer["data"]["transactionId"] == number) << "one session, one number";
        number = answer["data"]["transactionId"].get<int>();
    };
    for (const auto& side : document.sides) {
        EXPECT_NE(getInfo(client, session)["statusCode"], 0) << "answered before " << side;
        const int type = side.empty() ? 3 : side == "FRONT" ? 1 : 2;
        accept(upload(client, document.endpoint, sessionHeaders(session), card, side), type,
               type == 1 ? "UPLOAD_BACK" : "CAPTURE_FACE");
    }
    EXPECT_NE(getInfo(client, session)["statusCode"], 0) << "answered before the face";
    accept(upload(client, "/captureFace", sessionHeaders(session), testImage("astronaut.png")), 4,
           "CONFIRM_INFO");
}

TEST(DevServerSession, GetInfoAnswersOnlyOnceEveryPhotoOfTheDocumentIsAccepted) {
    auto client = connect(sharedServer());
    const auto list = bodyOf(client->Get("/v1/ekyc/listCountry", sessionHeaders("lists")));
    std::set<json> countries;
    for (const auto& c : list["data"]) countries.insert(c["name"]);
    const auto today = std::chrono::sys_days(localToday());
    for (const auto& document : kDocuments) {
        SCOPED_TRACE(document.endpoint);
        const std::string session = std::string("info") + document.endpoint;
        completeSession(*client, session, document);
        const auto answer = getInfo(*client, session);
        ASSERT_EQ(answer["statusCode"], 0) << answer.dump();
        EXPECT_EQ(answer["data"]["identityType"], document.identityType);
        std::set<std::string> types;
        std::set<int> dateTypes;  // 0: a date without a dateType
        bool readOnly = false;
        for (const auto& field : answer["data"]["form"]) {
            const auto type = field["fieldType"].get<std::string>();
            types.insert(type);
            readOnly = readOnly || !field["editable"].get<bool>();
            if (type == "date") {
                const auto date = parseDate(field["fieldValue"].get<std::string>());
                ASSERT_TRUE(date) << field.dump();
                const int dateType = field.value("dateType", 0);
                dateTypes.insert(dateType);
                const auto days = std::chrono::sys_days(*date);
                EXPECT_TRUE(dateType == 0 || (dateType == 1 ? days < today : days > today)) << field.dump();
            }
            EXPECT_TRUE(type != "gender" || field["fieldValue"] == "Nam" || field["fieldValue"] == "Nữ");
            if (type == "country" || type == "national") {
                EXPECT_TRUE(countries.count(field["fieldValue"])) << field.dump();
            }
        }
        EXPECT_EQ(types,
                  (std::set<std::string>{"string", "number", "date", "country", "gender", "national"}));
        EXPECT_EQ(dateTypes, (std::set<int>{0, 1, 2}));
        EXPECT_TRUE(readOnly);
        const auto english = getInfo(*client, session, "en")["data"];
        EXPECT_NE(english["form"][1]["fieldName"], answer["data"]["form"][1]["fieldName"]);
    }
}

TEST(DevServerSession, SubmitInfoRecordsGoodSubmissionsAndRefusesBadOnes) {
    auto client = connect(sharedServer());
    completeSession(*client, "submit", kDocuments[0]);
    const auto form = getInfo(*client, "submit")["data"]["form"];
    const auto edited = [&](int index, const std::string& value) {
        auto fields = form;
        fields[index]["fieldValue"] = value;
        return formBody(fields);
    };
    // Form order: number (read-only), name, birth (past), sex, nationality, ..., expiry (future) at 8.
    const std::pair<const char*, std::string> bad[] = {
        {"not JSON", "{oops"},
        {"data not a string", json{{"data", form}}.dump()},
        {"text not an array", R"({"data": "{\"id\": 101}"})"},
        {"unknown field", R"({"data": "[{\"id\": 999, \"cardAttributeId\": 2, \"fieldValue\": \"x\"}]"})"},
        {"read-only field changed", edited(0, "999999999999")},
        {"impossible date", edited(2, "31/02/1990")},
        {"birth in the future", edited(2, "01/01/2999")},
        {"expiry in the past", edited(8, "01/01/2000")},
        {"English sex", edited(3, "Male")},
    };
    for (const auto& [name, body] : bad)
        EXPECT_EQ(submit(*client, "submit", body)["statusCode"], 3002) << name;
    EXPECT_TRUE(bodyOf(client->Get("/__control/submissions?transactionId=submit")).empty());

    const auto answer = submit(*client, "submit", edited(1, "TRẦN THỊ BÌNH"));
    ASSERT_EQ(answer["statusCode"], 0) << answer.dump();
    const auto recorded = bodyOf(client->Get("/__control/submissions?transactionId=submit"));
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0]["identityType"], "NATIONAL_ID");
    EXPECT_EQ(recorded[0]["fields"][1]["fieldValue"], "TRẦN THỊ BÌNH");
}

// Values planted in the identity form are what getInfo reads and what a
// submission must keep; values the fields' own checks refuse stop the start.
TEST(DevServerSession, PlantedIdentityValuesReplaceTheSampleHolder) {
    ovira::test::TemporaryDirectory folder;
    const auto serverWith = [&](IdentityValues values) {
        auto options = optionsIn(folder.path());
        options.identityValues = std::move(values);
        return std::make_unique<DevServer>(options);
    };
    const std::pair<const char*, const char*> refused[] = {
        {"nickname", "An"}, {"dateOfBirth", "1961-03-17"}, {"dateOfExpiry", "01/01/2000"},
        {"gender", "Male"}, {"previousIdNumber", "12a"},   {"nationality", "Atlantis"},
    };
    for (const auto& [field, value] : refused)
        EXPECT_THROW(serverWith({{field, value}})->start(), std::invalid_argument) << field;

    auto server = serverWith({{"documentNumber", "CANARY-NUMBER"},
                              {"fullName", "CANARY-NAME"},
                              {"dateOfBirth", "17/03/1961"},
                              {"licenceClass", "CANARY-CLASS"}});
    server->start();
    auto client = connect(*server);
    completeSession(*client, "planted", kDocuments[0]);
    const auto form = getInfo(*client, "planted")["data"]["form"];
    std::map<int, std::string> values;
    for (const auto& field : form)
        values[field["cardAttributeId"].get<int>()] = field["fieldValue"].get<std::string>();
    // Fields without a planted value (the sex, 4) keep the sample's.
    const std::map<int, std::string> expected{
        {1, "CANARY-NUMBER"}, {2, "CANARY-NAME"}, {3, "17/03/1961"}, {4, "Nam"}};
    for (const auto& [id, value] : expected) EXPECT_EQ(values[id], value) << id;
    auto sample = form;
    sample[0]["fieldValue"] = "001090012345";  // the read-only number the sample holder has
    EXPECT_EQ(submit(*client, "planted", formBody(sample))["statusCode"], 3002);
    EXPECT_EQ(submit(*client, "planted", formBody(form))["statusCode"], 0);
}

TEST(DevServerRequestLog, ShowsHeadersPartsAndBodiesOverOneConnection) {
    auto& server = sharedServer();
    auto client = connect(server);
    client->set_keep_alive(true);
    server.clearRequests();
    const auto photo = encode(drawCard());
    upload(*client, "/nationId", sessionHeaders("log", "en"), photo, "FRONT");
    submit(*client, "log", R"({"data": "[]"})");
    // Many small uploads over one connection: the server must not close it after a few.
    for (int i = 0; i < 20; ++i) upload(*client, "/captureFace", sessionHeaders("log"), "not an image");

    const auto log = bodyOf(client->Get("/__control/requests"));
    ASSERT_EQ(log.size(), 22u);
    EXPECT_EQ(log[0]["path"], "/v1/ekyc/nationId");
    EXPECT_EQ(log[0]["headers"]["language"], "en");
    const json file{
        {"name", "file"}, {"filename", "photo.png"}, {"contentType", "image/png"}, {"size", photo.size()}};
    const auto type =
        json::parse(R"({"name": "type", "filename": "", "contentType": "", "size": 5, "text": "FRONT"})");
    EXPECT_EQ(log[0]["parts"], json::array({file, type}));
    EXPECT_EQ(log[0]["verdict"]["accepted"], true);
    EXPECT_EQ(log[1]["body"], (json{{"data", "[]"}}));
    EXPECT_EQ(log[1]["response"]["statusCode"], 3002);
    std::set<std::string> connections;
    for (const auto& entry : log) connections.insert(entry["connection"].get<std::string>());
    EXPECT_EQ(connections.size(), 1u) << "the requests should have shared one connection";
}

}  // namespace
}  // namespace ovira::devserver::test

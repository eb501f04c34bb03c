// The repository against the development service over real HTTPS.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "LibraryServiceTest.h"
#include "api/EKYCRepoImpl.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRA.h"
#include "pki/CertificateAuthority.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCUserDefault.h"
#include "support/ExpectFailure.h"
#include "support/LogCapture.h"

namespace ovira {
namespace {

using test::failureOf;

using json = nlohmann::json;
namespace dev = devserver;
namespace fs = std::filesystem;

// The suite's service, and the host's settings as startForLibrary made them
// restored before every test (a test may replace them).
class Repository : public dev::test::LibraryServiceTest {
protected:
    static void SetUpTestSuite() {
        LibraryServiceTest::SetUpTestSuite();
        const auto write = [](const fs::path& path, const std::string& bytes) {
            std::ofstream(path, std::ios::binary) << bytes;
            return path;
        };
        card = write(folder->path() / "card.jpg", dev::test::encode(dev::test::drawCard(), ".jpg"));
        face = write(folder->path() / "face.png", dev::test::testImage("astronaut.png"));
        cat = write(folder->path() / "cat.png", dev::test::testImage("chelsea.png"));
    }
    static json hostSettings() {
        return {{"EKYCServiceHost", "127.0.0.1:" + std::to_string(server->port())},
                {"EKYCServiceCACertificate", server->caFile().string()},
                {"EKYCAppID", "bank-app"}};
    }
    void SetUp() override {
        MainBundle::main().setInfoDictionary(hostSettings());
        OVIRA::config();
        LibraryServiceTest::SetUp();
    }
    json lastRequest() const { return server->requests().back(); }

    static inline fs::path card, face, cat;
    EKYCRepoImpl repo;
};

TEST_F(Repository, AnIdentityCardSessionFromUploadToSubmission) {
    const auto refused = failureOf([&] { repo.getInfo(); });
    EXPECT_NE(refused.code(), 0);
    EXPECT_FALSE(refused.status());
    EXPECT_TRUE(refused.message() && !refused.message()->empty());

    EXPECT_TRUE(repo.uploadDocument(EkycTypeDocument::idCard, EKYCStep::front, card).requestId);
    const json front = lastRequest();
    EXPECT_EQ(front["path"], "/v1/ekyc/nationId");
    EXPECT_EQ(front["headers"]["language"], "vi");
    EXPECT_EQ(front["headers"]["appID"], "bank-app");
    EXPECT_EQ(front["headers"]["transactionId"], EKYCUserDefault::transactionId().value());
    const json file{{"name", "file"},
                    {"filename", "card.jpg"},
                    {"contentType", "image/jpeg"},
                    {"size", fs::file_size(card)}};
    const auto side =
        json::parse(R"({"name": "type", "filename": "", "contentType": "", "size": 5, "text": "FRONT"})");
    EXPECT_EQ(front["parts"], json::array({file, side}));

    repo.uploadDocument(EkycTypeDocument::idCard, EKYCStep::back, card);
    EXPECT_EQ(lastRequest()["parts"][1]["text"], "BACK");
    repo.uploadFace(face);
    EXPECT_EQ(lastRequest()["path"], "/v1/ekyc/captureFace");
    EXPECT_EQ(lastRequest()["parts"][0]["contentType"], "image/png");

    const auto document = repo.getInfo();
    ASSERT_FALSE(document.form.empty());
    std::set<EKYCInfomationDocument::FieldType> types;
    for (const auto& field : document.form) types.insert(field.fieldType);
    EXPECT_EQ(types.size(), 6u) << "every kind of field is offered";

    auto edited = document.form;
    for (auto& field : edited) {
        if (field.editable && field.fieldType == EKYCInfomationDocument::FieldType::string)
            field.fieldValue += " A";
    }
    EXPECT_TRUE(repo.submitInfo(edited));
    const json body = lastRequest()["body"];
    ASSERT_TRUE(body["data"].is_string()) << body.dump();
    EXPECT_EQ(json::parse(body["data"].get<std::string>()).size(), edited.size());
    EXPECT_EQ(server->submissions().size(), 1u);
}

TEST_F(Repository, PassportAndLicenceUseTheirOwnPaths) {
    repo.uploadPassport(card);
    EXPECT_EQ(lastRequest()["path"], "/v1/ekyc/passport");
    EXPECT_EQ(lastRequest()["parts"].size(), 1u);
    repo.uploadDocument(EkycTypeDocument::licenseDriver, EKYCStep::back, card);
    EXPECT_EQ(lastRequest()["path"], "/v1/ekyc/driverlicense");
}

TEST_F(Repository, RejectedPhotographsCarryTheServiceMessage) {
    const auto noFace = failureOf([&] { repo.uploadFace(cat); });
    EXPECT_FALSE(noFace.status());
    EXPECT_TRUE(noFace.message() && !noFace.message()->empty());

    // Without a file the upload still goes out, with no body at all.
    const auto noFile = failureOf([&] { repo.uploadFace(std::nullopt); });
    EXPECT_FALSE(noFile.status());
    EXPECT_FALSE(lastRequest()["headers"].contains("Content-Type"));
    EXPECT_FALSE(lastRequest().contains("parts"));
}

TEST_F(Repository, ListsComeFromTheService) {
    const auto countries = repo.listCountry();
    EXPECT_GT(countries.size(), 200u);
    EXPECT_NE(std::find(countries.begin(), countries.end(), EKYCLocation{704, "Việt Nam"}), countries.end());
    EXPECT_EQ(repo.listNational().size(), countries.size());
}

TEST_F(Repository, SessionAndApplicationHeadersDecideAuthorisation) {
    EKYCUserDefault::clear();
    const auto noSession = failureOf([&] { repo.listCountry(); });
    EXPECT_EQ(*noSession.status(), EKYCHTTPStatusCode::unauthorized);
    EXPECT_FALSE(lastRequest()["headers"].contains("transactionId"));

    EKYCApplication().startSession();
    OVIRAConfiguration::setAppID("");  // as before config()
    test::LogCapture log;
    const auto noApp = failureOf([&] { repo.listCountry(); });
    EXPECT_EQ(*noApp.status(), EKYCHTTPStatusCode::unauthorized);
    EXPECT_TRUE(noApp.message() && !noApp.message()->empty());
    // The header goes out empty (the service's HTTP stack drops empty headers, so look at the client's side).
    EXPECT_NE(log.lineContaining(R"(Headers: ["appID": "", "language": "vi", "transactionId": "<masked>"])"),
              "")
        << log.text();
}

TEST_F(Repository, EnvelopeRefusalsAreNotHttpFailuresAndRedirectsAreNotFollowed) {
    server->setFault(dev::Fault::parse("/getInfo:code=401,message=hết phiên"));
    const auto error = failureOf([&] { repo.getInfo(); });
    EXPECT_EQ(error.code(), 401);
    EXPECT_FALSE(error.status()) << "only an HTTP 401 is unauthorised";
    EXPECT_EQ(error.message(), "hết phiên");
    server->setFault(dev::Fault::parse("/getInfo:code=0"));
    EXPECT_EQ(failureOf([&] { repo.getInfo(); }).code(), 0);

    server->clearRequests();
    // The same answer, were it followed.
    server->setFault(dev::Fault::parse("/listCountry:redirect=/v1/ekyc/listNational"));
    const auto moved = failureOf([&] { repo.listCountry(); });
    EXPECT_EQ(moved.codeType(), EKYCAPIErrorCode::response);
    ASSERT_TRUE(moved.status());
    EXPECT_EQ(moved.status()->rawValue(), 307);
    ASSERT_EQ(server->requests().size(), 1u);
    EXPECT_EQ(server->requests()[0]["path"], "/v1/ekyc/listCountry");
}

// Pins come from the host's Info.json: the service's own key lets calls
// through, any other key stops them before a request reaches the service.
TEST_F(Repository, PinnedKeysFromTheHostSettingsDecideWhetherARequestLeaves) {
    const auto serviceKey = pki::publicKeyPinOf(pki::readFile(server->dataDir() / "server.pem"));
    const auto otherKey = pki::makeSelfSigned({}).publicKeyPin;
    const auto info = folder->path() / "Info.json";
    for (const auto& pins : {json::array({otherKey, serviceKey}), json::array({otherKey})}) {
        const bool matches = pins.size() == 2;
        SCOPED_TRACE(matches ? "the service's key among the pins" : "another key");
        auto settings = hostSettings();
        settings["EKYCServicePinnedKeys"] = pins;
        std::ofstream(info) << settings.dump();
        ASSERT_EQ(MainBundle::main().load(info), std::nullopt);
        OVIRA::config();
        server->clearRequests();
        if (matches) {
            EXPECT_GT(repo.listCountry().size(), 200u);
            EXPECT_EQ(server->requests().size(), 1u);
        } else {
            const auto refused = failureOf([&] { repo.listCountry(); });
            EXPECT_EQ(refused.code(), static_cast<int>(URLErrorCode::serverCertificateUntrusted));
            EXPECT_TRUE(server->requests().empty());
        }
    }
}

}  // namespace
}  // namespace ovira

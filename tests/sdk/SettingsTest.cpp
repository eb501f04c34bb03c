// Settings made in code: every mistake refused by name with nothing changed,
// and accepted settings seen by the requests that follow, against the
// development service.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "DevServerTestSupport.h"
#include "api/EKYCRepoImpl.h"
#include "ovira/EKYCHTTPClient.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRA.h"
#include "ovira/OVIRACameraSettings.h"
#include "ovira/OVIRALocalization.h"
#include "sdk/EKYCApplication.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

namespace dev = devserver;

const std::string kPin = "sha256//" + std::string(43, 'A') + "=";

class Settings : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new test::TemporaryDirectory;
        auto options = dev::test::optionsIn(folder->path() / "service");
        options.appIDs = {"kiosk-7"};
        server = new dev::DevServer(options);
        server->start();
    }
    static void TearDownTestSuite() {
        delete server;
        delete folder;
    }
    void TearDown() override {
        MainBundle::main().setInfoDictionary(nlohmann::json::object());
        OVIRACameraSettings::setSimulatedCameraMedia({});
        OVIRA::config();
    }

    // Settings that work against the test's service.
    static OVIRASettings working() {
        OVIRASettings settings;
        settings.appID = "kiosk-7";
        settings.serviceHost = "127.0.0.1:" + std::to_string(server->port());
        settings.caCertificateFile = server->caFile();
        return settings;
    }
    static std::filesystem::path write(const std::string& name, const std::string& text) {
        const auto path = folder->path() / name;
        std::ofstream(path) << text;
        return path;
    }

    static inline test::TemporaryDirectory* folder = nullptr;
    static inline dev::DevServer* server = nullptr;
};

TEST_F(Settings, EachMistakeIsRefusedByNameWithItsReasonAndChangesNothing) {
    ASSERT_FALSE(OVIRA::configure(working()));
    const nlohmann::json applied = MainBundle::main().objectForInfoDictionaryKey("EKYCServiceHost");
    const auto client = EKYCHTTPClient::shared();
    const std::string appID = OVIRAConfiguration::appID();

    struct Mistake {
        const char* setting;
        std::function<void(OVIRASettings&)> make;
        const char* reasonContains;
    };
    const std::vector<Mistake> mistakes = {
        {"appID", [](OVIRASettings& s) { s.appID.clear(); }, "empty"},
        {"appID", [](OVIRASettings& s) { s.appID = "kiosk\r\nX-Injected: 1"; }, "control character"},
        {"serviceHost", [](OVIRASettings& s) { s.serviceHost.clear(); }, "empty"},
        {"serviceHost", [](OVIRASettings& s) { s.serviceHost = "bank example.com"; }, "not a host name"},
        {"serviceHost", [](OVIRASettings& s) { s.serviceHost = "127.0.0.1:70000"; }, "not a host name"},
        {"serviceHost", [](OVIRASettings& s) { s.serviceHost = "https://api.example.com"; },
         "not a host name"},
        {"caCertificateFile", [](OVIRASettings& s) { s.caCertificateFile = folder->path() / "absent.pem"; },
         "not a readable file"},
        {"caCertificateFile", [](OVIRASettings& s) { s.caCertificateFile = folder->path(); },
         "not a readable file"},
        {"caCertificateFile",
         [](OVIRASettings& s) { s.caCertificateFile = write("notes.pem", "just notes"); },
         "no PEM certificate"},
        {"pinnedKeys",
         [](OVIRASettings& s) {
             s.pinnedKeys = {kPin, "sha256//short="};
         },
         "entry 1"},
        {"pinnedKeys", [](OVIRASettings& s) { s.pinnedKeys = {"md5//" + std::string(43, 'A') + "="}; },
         "entry 0"},
        {"pinnedKeys", [](OVIRASettings& s) { s.pinnedKeys = {kPin + ";sha256//x"}; }, "entry 0"},
        {"language", [](OVIRASettings& s) { s.language = OVIRALanguage("xx"); }, "\"xx\""},
        {"simulatedCameraMedia",
         [](OVIRASettings& s) { s.simulatedCameraMedia = folder->path() / "none.mp4"; }, "does not exist"},
    };
    for (const auto& mistake : mistakes) {
        OVIRASettings settings = working();
        settings.appID = "other-app";  // would show, had anything been applied
        mistake.make(settings);
        const auto error = OVIRA::configure(settings);
        ASSERT_TRUE(error) << mistake.setting << " " << mistake.reasonContains;
        EXPECT_EQ(error->setting, mistake.setting);
        EXPECT_NE(error->reason.find(mistake.reasonContains), std::string::npos) << error->message();
        EXPECT_EQ(error->message(), error->setting + ": " + error->reason);
        EXPECT_EQ(OVIRAConfiguration::appID(), appID);
        EXPECT_EQ(MainBundle::main().objectForInfoDictionaryKey("EKYCServiceHost"), applied);
        EXPECT_EQ(EKYCHTTPClient::shared(), client) << "a refused setting replaced the client";
        EXPECT_EQ(OVIRACameraSettings::simulatedCameraMedia(), "");
    }
}

TEST_F(Settings, AcceptedSettingsReachTheServiceAndWhatConfigReads) {
    auto settings = working();
    settings.simulatedCameraMedia = write("card.png", "frames");
    settings.language = OVIRALanguage::english();
    ASSERT_FALSE(OVIRA::configure(settings));
    EXPECT_EQ(OVIRAConfiguration::appID(), "kiosk-7");
    EXPECT_EQ(OVIRACameraSettings::simulatedCameraMedia(), settings.simulatedCameraMedia.string());
    EXPECT_EQ(OVIRALocalization::currentLanguage(), OVIRALanguage::english());
    EXPECT_FALSE(EKYCHTTPClient::shared()->configuration().logsFullBodies);

    // A real exchange: the service accepts only this appID, over TLS trusted
    // through the given CA alone.
    EKYCApplication().startSession();
    server->clearRequests();
    EXPECT_FALSE(EKYCRepoImpl().listCountry().empty());
    ASSERT_EQ(server->requests().size(), 1u);
    EXPECT_EQ(server->requests()[0]["headers"]["appID"], "kiosk-7");

    // The same settings survive a later config(), which reads them back.
    OVIRA::config();
    EXPECT_EQ(OVIRAConfiguration::appID(), "kiosk-7");
    EXPECT_FALSE(EKYCRepoImpl().listCountry().empty());
}

TEST_F(Settings, PinsAndFullLoggingGoIntoTheClient) {
    auto settings = working();
    settings.pinnedKeys = {kPin};  // not the service's key
    settings.logFullBodies = true;
    ASSERT_FALSE(OVIRA::configure(settings));
    const auto& configuration = EKYCHTTPClient::shared()->configuration();
    EXPECT_EQ(configuration.pinnedPublicKeys, settings.pinnedKeys);
    EXPECT_TRUE(configuration.logsFullBodies);
    EKYCApplication().startSession();
    EXPECT_THROW(EKYCRepoImpl().listCountry(), EKYCAPIError) << "a server outside the pins was trusted";

    // Settings without pins or a CA give the default client back.
    auto plain = working();
    plain.caCertificateFile.clear();
    ASSERT_FALSE(OVIRA::configure(plain));
    EXPECT_TRUE(EKYCHTTPClient::shared()->configuration().pinnedPublicKeys.empty());
    EXPECT_FALSE(EKYCHTTPClient::shared()->configuration().logsFullBodies);
    EXPECT_THROW(EKYCRepoImpl().listCountry(), EKYCAPIError) << "the development CA is still trusted";
}

}  // namespace
}  // namespace ovira

// The host-facing facade and the session it starts.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>

#include "ovira/EKYCHTTPClient.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRA.h"
#include "ovira/UserDefaults.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCUserDefault.h"
#include "sdk/TransactionIdentifier.h"

namespace ovira {
namespace {

const std::regex kIdentifierPattern("^[a-zA-Z0-9]{10}ekyciosapp$");

std::optional<std::string> storedIdentifier() {
    return UserDefaults::standard().string(EKYCUserDefault::transactionIdKey);
}

class Session : public ::testing::Test {
protected:
    void TearDown() override {
        EKYCApplication::setFlowLauncher(nullptr);
        EKYCUserDefault::clear();
    }
};

// Without a launcher start() still stores a session; a launcher runs once the
// session is stored. Each start replaces the identifier, on disk too, and
// clear() removes it from memory and disk.
TEST_F(Session, EachStartStoresANewIdentifierOnDiskBeforeTheFlowAndClearRemovesIt) {
    EKYCApplication::setFlowLauncher(nullptr);
    EXPECT_NO_THROW(OVIRA::instance().start());
    const auto first = storedIdentifier();
    std::optional<std::string> seenByLauncher;
    int launches = 0;
    EKYCApplication::setFlowLauncher([&] {
        ++launches;
        seenByLauncher = EKYCUserDefault::transactionId();
    });
    OVIRA::instance().start();
    const auto second = storedIdentifier();
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(std::regex_match(*first, kIdentifierPattern)) << *first;
    EXPECT_TRUE(std::regex_match(*second, kIdentifierPattern)) << *second;
    EXPECT_NE(*first, *second);
    EXPECT_EQ(EKYCUserDefault::transactionId(), second);
    EXPECT_EQ(launches, 1);
    EXPECT_EQ(seenByLauncher, second);
    EXPECT_EQ(UserDefaults(UserDefaults::standard().file()).string(EKYCUserDefault::transactionIdKey),
              second);

    EKYCUserDefault::clear();
    EXPECT_FALSE(storedIdentifier());
    EXPECT_FALSE(EKYCUserDefault::transactionId());
    EXPECT_FALSE(UserDefaults(UserDefaults::standard().file()).contains(EKYCUserDefault::transactionIdKey));
}

TEST(TransactionIdentifier, CharactersComeFromTheDrawsInOrder) {
    std::uint32_t next = 0;
    std::vector<std::uint32_t> bounds;
    const auto identifier = TransactionIdentifier::make([&](std::uint32_t bound) {
        bounds.push_back(bound);
        return next++ * 7 % bound;
    });
    EXPECT_EQ(identifier, "ahovCJQX4bekyciosapp");
    EXPECT_EQ(bounds, std::vector<std::uint32_t>(10, 62));
    EXPECT_EQ(TransactionIdentifier::make([](std::uint32_t) { return 61u; }), "9999999999ekyciosapp");
}

TEST(TransactionIdentifier, IdentifiersAreUniqueAndUseTheWholeAlphabetEvenly) {
    std::set<std::string> seen;
    std::map<char, int> counts;
    constexpr int kIdentifiers = 20000;
    for (int i = 0; i < kIdentifiers; ++i) {
        const auto identifier = TransactionIdentifier::make();
        ASSERT_EQ(identifier.size(), 20u);
        ASSERT_TRUE(seen.insert(identifier).second) << "duplicate " << identifier;
        for (std::size_t c = 0; c < 10; ++c) ++counts[identifier[c]];
    }
    ASSERT_EQ(counts.size(), 62u);
    const double expected = kIdentifiers * 10.0 / 62.0;  // about 3226 per character
    for (const auto& [character, count] : counts) {
        EXPECT_GT(count, expected * 0.85) << character;
        EXPECT_LT(count, expected * 1.15) << character;
    }
}

// The application identifier is empty until configured; config() rereads the
// host's entry on every call, and a value that is no string, or none at all,
// keeps the previous one.
TEST(Configuration, ConfigRereadsTheAppIDAndKeepsItWhenTheEntryIsNoString) {
    OVIRAConfiguration::setAppID("");
    MainBundle::main().setObject("EKYCAppID", nullptr);
    OVIRA::config();
    EXPECT_EQ(OVIRAConfiguration::appID(), "");
    for (const char* appID : {"bank-app", "telco-app"}) {
        MainBundle::main().setObject("EKYCAppID", appID);
        OVIRA::config();
        EXPECT_EQ(OVIRAConfiguration::appID(), appID);
    }
    for (const auto& value : {nlohmann::json(12345), nlohmann::json(true), nlohmann::json::array({"x"}),
                              nlohmann::json::object({{"id", "x"}}), nlohmann::json()}) {
        MainBundle::main().setObject("EKYCAppID", value);
        OVIRA::config();
        EXPECT_EQ(OVIRAConfiguration::appID(), "telco-app") << value.dump();
    }
    MainBundle::main().setObject("EKYCAppID", nullptr);
    OVIRAConfiguration::setAppID("");
}

// Trust the host's settings ask for (a CA, pinned keys) gets a client of its
// own; settings that no longer ask for it give the default client back, and
// a client the host installed itself is never replaced by settings without trust.
TEST(Configuration, TheSharedClientFollowsTheTrustTheSettingsAskFor) {
    const auto pinsOf = [] { return EKYCHTTPClient::shared()->configuration().pinnedPublicKeys; };
    const std::vector<std::string> pins{"sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA="};
    MainBundle::main().setObject("EKYCServicePinnedKeys", pins);
    OVIRA::config();
    EXPECT_EQ(pinsOf(), pins);
    MainBundle::main().setObject("EKYCServicePinnedKeys", nullptr);
    OVIRA::config();
    EXPECT_TRUE(pinsOf().empty()) << "the pinned client outlived its settings";
    EXPECT_TRUE(EKYCHTTPClient::shared()->configuration().additionalCACertificateFile.empty());

    auto configuration = EKYCHTTPClient::Configuration::defaultConfiguration();
    configuration.timeoutInterval = 7;
    const auto hosts = std::make_shared<EKYCHTTPClient>(configuration);
    EKYCHTTPClient::setShared(hosts);
    OVIRA::config();
    EXPECT_EQ(EKYCHTTPClient::shared(), hosts);
    EKYCHTTPClient::setShared(nullptr);
}

class RecordingDelegate : public OVIRADelegate {
public:
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override { reports.push_back(sessionId); }
    std::vector<std::string> reports;
};

// instance() is one shared facade that holds its delegate weakly; another
// facade has a delegate and an application of its own.
TEST(Facade, OneSharedInstanceHoldsItsDelegateWeaklyAndOthersAreSeparate) {
    EXPECT_EQ(&OVIRA::instance(), &OVIRA::instance());
    auto delegate = std::make_shared<RecordingDelegate>();
    OVIRA::instance().setDelegate(delegate);
    ASSERT_EQ(OVIRA::instance().delegate(), delegate);
    OVIRA::instance().delegate()->didEKYCSuccessWithSessionId("abc");
    EXPECT_EQ(delegate->reports, std::vector<std::string>{"abc"});

    OVIRA separate;
    auto own = std::make_shared<RecordingDelegate>();
    separate.setDelegate(own);
    EXPECT_EQ(separate.delegate(), own);
    EXPECT_EQ(OVIRA::instance().delegate(), delegate);
    EXPECT_NE(&separate.application(), &OVIRA::instance().application());

    delegate.reset();
    EXPECT_EQ(OVIRA::instance().delegate(), nullptr);
}

}  // namespace
}  // namespace ovira

// The host-facing facade and the session it starts.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>

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

TEST_F(Session, EachStartReplacesTheIdentifier) {
    OVIRA::instance().start();
    const auto first = storedIdentifier();
    OVIRA::instance().start();
    const auto second = storedIdentifier();
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(std::regex_match(*first, kIdentifierPattern)) << *first;
    EXPECT_TRUE(std::regex_match(*second, kIdentifierPattern)) << *second;
    EXPECT_NE(*first, *second);
    EXPECT_EQ(EKYCUserDefault::transactionId(), second);
}

TEST_F(Session, TheIdentifierIsPersistedOnDisk) {
    OVIRA::instance().start();
    UserDefaults reread(UserDefaults::standard().file());
    EXPECT_EQ(reread.string(EKYCUserDefault::transactionIdKey), storedIdentifier());
}

TEST_F(Session, ClearRemovesTheIdentifierFromMemoryAndDisk) {
    OVIRA::instance().start();
    EKYCUserDefault::clear();
    EXPECT_FALSE(storedIdentifier());
    EXPECT_FALSE(EKYCUserDefault::transactionId());
    UserDefaults reread(UserDefaults::standard().file());
    EXPECT_FALSE(reread.contains(EKYCUserDefault::transactionIdKey));
}

TEST_F(Session, TheFlowIsLaunchedAfterTheSessionIsStored) {
    std::optional<std::string> seenByLauncher;
    int launches = 0;
    EKYCApplication::setFlowLauncher([&] {
        ++launches;
        seenByLauncher = EKYCUserDefault::transactionId();
    });
    OVIRA::instance().start();
    EXPECT_EQ(launches, 1);
    ASSERT_TRUE(seenByLauncher);
    EXPECT_EQ(seenByLauncher, storedIdentifier());
}

TEST_F(Session, WithoutALauncherStartStillStoresASession) {
    EKYCApplication::setFlowLauncher(nullptr);
    EXPECT_NO_THROW(OVIRA::instance().start());
    EXPECT_TRUE(storedIdentifier());
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

class Configuration : public ::testing::Test {
protected:
    void SetUp() override { OVIRAConfiguration::setAppID(""); }
    void TearDown() override {
        MainBundle::main().setObject("EKYCAppID", nullptr);
        OVIRAConfiguration::setAppID("");
    }
};

TEST_F(Configuration, AppIDIsEmptyUntilConfigured) {
    MainBundle::main().setObject("EKYCAppID", nullptr);
    OVIRA::config();
    EXPECT_EQ(OVIRAConfiguration::appID(), "");
}

TEST_F(Configuration, ConfigReadsAStringAndRereadsOnEveryCall) {
    MainBundle::main().setObject("EKYCAppID", "bank-app");
    OVIRA::config();
    EXPECT_EQ(OVIRAConfiguration::appID(), "bank-app");
    MainBundle::main().setObject("EKYCAppID", "telco-app");
    OVIRA::config();
    EXPECT_EQ(OVIRAConfiguration::appID(), "telco-app");
}

TEST_F(Configuration, NonStringOrMissingValuesKeepThePreviousOne) {
    MainBundle::main().setObject("EKYCAppID", "bank-app");
    OVIRA::config();
    for (const auto& value : {nlohmann::json(12345), nlohmann::json(true), nlohmann::json::array({"x"}),
                              nlohmann::json::object({{"id", "x"}}), nlohmann::json()}) {
        MainBundle::main().setObject("EKYCAppID", value);
        OVIRA::config();
        EXPECT_EQ(OVIRAConfiguration::appID(), "bank-app") << value.dump();
    }
}

class RecordingDelegate : public OVIRADelegate {
public:
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override { reports.push_back(sessionId); }
    std::vector<std::string> reports;
};

TEST(Facade, TheDelegateIsHeldWeakly) {
    auto delegate = std::make_shared<RecordingDelegate>();
    OVIRA::instance().setDelegate(delegate);
    ASSERT_EQ(OVIRA::instance().delegate(), delegate);
    OVIRA::instance().delegate()->didEKYCSuccessWithSessionId("abc");
    EXPECT_EQ(delegate->reports, std::vector<std::string>{"abc"});
    delegate.reset();
    EXPECT_EQ(OVIRA::instance().delegate(), nullptr);
}

TEST(Facade, InstanceIsOneSharedFacadeAndOthersAreSeparate) {
    EXPECT_EQ(&OVIRA::instance(), &OVIRA::instance());
    OVIRA separate;
    auto delegate = std::make_shared<RecordingDelegate>();
    separate.setDelegate(delegate);
    EXPECT_EQ(separate.delegate(), delegate);
    EXPECT_NE(OVIRA::instance().delegate(), delegate);
    EXPECT_NE(&separate.application(), &OVIRA::instance().application());
}

}  // namespace
}  // namespace ovira

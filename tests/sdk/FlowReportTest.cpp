// The outcome of a flow, decided by what happened in it and told once, when it closes.
#include <gtest/gtest.h>

#include "ovira/OVIRA.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCFlowReport.h"
#include "sdk/EKYCUserDefault.h"

namespace ovira {
namespace {

struct Heard : OVIRADelegate {
    std::vector<std::string> said;
    void didEKYCSuccessWithSessionId(const std::string& id) override { said.push_back("success " + id); }
    void didEKYCCancel() override { said.push_back("cancel"); }
    void didEKYCEndSession(const std::string& message) override { said.push_back("ended " + message); }
    void didEKYCFail(const EKYCAPIError& error) override {
        said.push_back("failed " + std::to_string(error.code()));
    }
    void didEKYCReachStep(OVIRAFlowStep step) override {
        said.push_back(std::string("step ") + toString(step));
    }
};

class FlowReport : public ::testing::Test {
protected:
    void SetUp() override { OVIRA::instance().setDelegate(heard); }
    void TearDown() override {
        report.closed();
        EKYCApplication::setFlowLauncher(nullptr);
    }
    std::vector<std::string> closeAndHear() {
        report.closed();
        return heard->said;
    }

    EKYCFlowReport& report = EKYCFlowReport::shared();
    std::shared_ptr<Heard> heard = std::make_shared<Heard>();
    const EKYCAPIError serverError{500, EKYCHTTPStatusCode::internalServerError, "down"};
};

using Said = std::vector<std::string>;

TEST_F(FlowReport, AFlowThatClosesWithNothingElseSaidWasCancelled) {
    ASSERT_TRUE(report.open());
    EXPECT_TRUE(report.isOpen());
    EXPECT_FALSE(report.open()) << "a second flow while one is open";
    EXPECT_TRUE(heard->said.empty());
    EXPECT_EQ(closeAndHear(), Said{"cancel"});
    EXPECT_FALSE(report.isOpen());
    report.closed();
    EXPECT_EQ(heard->said, Said{"cancel"}) << "closed twice, told twice";
}

TEST_F(FlowReport, TheFirstEndingWinsAndIsToldOnlyWhenTheFlowCloses) {
    ASSERT_TRUE(report.open());
    report.succeeded("abc123ekyciosapp");
    report.sessionEnded("late");
    report.failed(serverError);
    EXPECT_TRUE(heard->said.empty()) << "told while the flow is still on screen";
    EXPECT_EQ(closeAndHear(), Said{"success abc123ekyciosapp"});

    heard->said.clear();
    ASSERT_TRUE(report.open());
    report.failed(serverError);
    report.sessionEnded("Phiên làm việc đã hết hạn");
    EXPECT_EQ(closeAndHear(), Said{"ended Phiên làm việc đã hết hạn"});
}

TEST_F(FlowReport, AFailureCountsOnlyWhileTheUserHasNotGotPastIt) {
    ASSERT_TRUE(report.open());
    report.failed(serverError);
    EXPECT_EQ(closeAndHear(), Said{"failed 500"});

    heard->said.clear();
    ASSERT_TRUE(report.open());
    report.failed(serverError);
    report.recovered();
    EXPECT_EQ(closeAndHear(), Said{"cancel"});

    heard->said.clear();
    ASSERT_TRUE(report.open());
    EXPECT_EQ(closeAndHear(), Said{"cancel"}) << "a failure of the last flow carried over";
}

TEST_F(FlowReport, StepsAreToldAsTheUserArrivesOnceEachWhileAFlowIsOpen) {
    report.reached(OVIRAFlowStep::chooseDocument);
    EXPECT_TRUE(heard->said.empty()) << "a step outside any flow";
    ASSERT_TRUE(report.open());
    for (auto step :
         {OVIRAFlowStep::chooseDocument, OVIRAFlowStep::chooseDocument, OVIRAFlowStep::captureFront,
          OVIRAFlowStep::documentGuide, OVIRAFlowStep::captureFront, OVIRAFlowStep::captureFront})
        report.reached(step);
    EXPECT_EQ(closeAndHear(), (Said{"step chooseDocument", "step captureFront", "step documentGuide",
                                    "step captureFront", "cancel"}));
}

TEST_F(FlowReport, ScreensShownOutsideAFlowTellTheirEndingAtOnce) {
    report.succeeded("s1");
    report.sessionEnded("gone");
    report.failed(serverError);
    report.closed();
    EXPECT_EQ(heard->said, (Said{"success s1", "ended gone"}));
}

TEST_F(FlowReport, NoDelegateHearsNothingAndAThrowingOneIsContained) {
    OVIRA::instance().setDelegate({});
    ASSERT_TRUE(report.open());
    report.reached(OVIRAFlowStep::confirm);
    EXPECT_NO_THROW(report.closed());

    struct Throws : Heard {
        void didEKYCCancel() override { throw std::logic_error("host bug"); }
    };
    auto throws = std::make_shared<Throws>();
    OVIRA::instance().setDelegate(throws);
    ASSERT_TRUE(report.open());
    EXPECT_NO_THROW(report.closed());
    EXPECT_FALSE(report.isOpen());
    EXPECT_TRUE(report.open()) << "the next flow opens as usual";
}

TEST_F(FlowReport, StartWhileAFlowIsOpenKeepsItsSessionAndLaunchesNothing) {
    int launches = 0;
    EKYCApplication::setFlowLauncher([&] { ++launches; });
    ASSERT_TRUE(report.open());
    EKYCUserDefault::setTransactionId("keptkeptkeekyciosapp");
    OVIRA::instance().start();
    EXPECT_EQ(EKYCUserDefault::transactionId(), "keptkeptkeekyciosapp");
    EXPECT_EQ(launches, 0);
    report.closed();
    OVIRA::instance().start();
    EXPECT_EQ(launches, 1);
    EXPECT_NE(EKYCUserDefault::transactionId(), "keptkeptkeekyciosapp");
}

}  // namespace
}  // namespace ovira

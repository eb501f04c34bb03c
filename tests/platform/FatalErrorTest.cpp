// Fatal faults reach the installed handler with their message and source.
#include "platform/FatalError.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace ovira {
namespace {

struct Raised : std::runtime_error {
    explicit Raised(const FatalErrorReport& report)
        : std::runtime_error(report.source + ": " + report.message) {}
};

TEST(FatalError, ReachesTheInstalledHandlerAndTheDefaultAborts) {
    auto previous = setFatalErrorHandler([](const FatalErrorReport& report) { throw Raised(report); });
    try {
        fatalError("Unable to load image asset named ic_back.", "Images");
        ADD_FAILURE() << "returned";
    } catch (const Raised& raised) {
        EXPECT_STREQ(raised.what(), "Images: Unable to load image asset named ic_back.");
    }
    // A handler that returns does not let the caller carry on.
    setFatalErrorHandler([](const FatalErrorReport&) {});
    EXPECT_DEATH(fatalError("Must invoke X", "EKYCBaseViewController"), "");
    setFatalErrorHandler(std::move(previous));
    EXPECT_DEATH(fatalError("Unable to load color asset named Nope.", "Colors"),
                 "\\[Colors\\].*Unable to load color asset named Nope\\.");
}

}  // namespace
}  // namespace ovira

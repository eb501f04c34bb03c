#pragma once

#include <gtest/gtest.h>

#include "DevServerTestSupport.h"
#include "sdk/EKYCApplication.h"
#include "support/TemporaryDirectory.h"

namespace ovira::devserver::test {

// A suite whose tests share one development service, with the library
// pointed at it (see startForLibrary). The service accepts the library's
// "bank-app" and "ovira-tests", the tests' own uploads. Every test starts a
// new session against a service with no faults and no recorded requests.
class LibraryServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new ovira::test::TemporaryDirectory;
        server = startForLibrary(folder->path() / "service", {"bank-app", "ovira-tests"}).release();
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
        delete folder;
        folder = nullptr;
    }
    void SetUp() override {
        EKYCApplication().startSession();
        server->clearFaults();
        server->clearRequests();
    }

    static inline ovira::test::TemporaryDirectory* folder = nullptr;
    static inline DevServer* server = nullptr;
};

}  // namespace ovira::devserver::test

#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/TemporaryDirectory.h"

// Every test process gets its own private data folder, so that the
// application's stores never touch the developer's home or each other.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    ovira::test::TemporaryDirectory dataHome;
    setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
    return RUN_ALL_TESTS();
}

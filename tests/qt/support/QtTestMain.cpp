#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

#include "support/TemporaryDirectory.h"
#include "ui/animation/ViewAnimation.h"

// Real widgets on the offscreen platform at twice the pixel density (so
// that screenshots show how the artwork holds up on dense screens), with
// animations jumping to their ends so that no test waits on a clock.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_SCALE_FACTOR", "2", 0);
    testing::InitGoogleTest(&argc, argv);
    ovira::test::TemporaryDirectory dataHome;
    setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
    QApplication application(argc, argv);
    ovira::ViewAnimation::setAnimationsEnabled(false);
    return RUN_ALL_TESTS();
}

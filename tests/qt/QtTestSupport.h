#pragma once

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <string>

namespace ovira::test {

// The process's application, created on first use; offscreen unless the
// environment asks for another platform.
inline QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "ovira-tests";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto* application = new QApplication(argc, argv);
    return *application;
}

// A base to list first among a fixture's bases and members, so that the
// application exists before any widget.
struct WithApplication {
    WithApplication() { qtApplication(); }
};

// Runs everything already posted to the GUI thread, and what that posts.
inline void drainEvents() {
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The widget as it draws, one pixel per point.
inline QImage rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

inline std::string testData(const std::string& name) {
    const char* folder = std::getenv("OVIRA_TESTDATA");
    return std::string(folder ? folder : ".deps/testdata") + "/" + name;
}

}  // namespace ovira::test

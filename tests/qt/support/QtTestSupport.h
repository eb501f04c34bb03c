#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/FatalError.h"
#include "ui/controller/ViewController.h"

namespace ovira::test {

// Lets queued calls, finished animations and deferred deletions run.
void settle();

// While it lives, fatal errors throw FatalErrorRaised instead of aborting.
class FatalErrorCatcher {
public:
    FatalErrorCatcher();
    ~FatalErrorCatcher();
    FatalErrorCatcher(const FatalErrorCatcher&) = delete;
    FatalErrorCatcher& operator=(const FatalErrorCatcher&) = delete;

private:
    FatalErrorHandler previous_;
};

struct FatalErrorRaised : std::runtime_error {
    explicit FatalErrorRaised(const FatalErrorReport& report);
    FatalErrorReport report;
};

// The fatal report of the call, or an empty one (and a test failure) when
// it completes normally.
FatalErrorReport fatalReportOf(const std::function<void()>& call);

// Saves the window as <name>.png in the screenshot folder; returns the path.
QString saveScreenshot(QWidget* window, const QString& name);

// A phone-sized window (390 × 844 points) with a light background, shown.
std::unique_ptr<ViewController> makeHostWindow(QSize size = QSize(390, 844));

// The colour of the window's pixel at a point in logical coordinates.
QColor pixelAt(QWidget* window, QPoint point);

}  // namespace ovira::test

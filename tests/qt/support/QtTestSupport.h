#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/FatalError.h"
#include "ui/controller/ViewController.h"

namespace ovira::test {

// Lets queued calls, finished animations and deferred deletions run.
void settle();

// The fatal report of the call, or an empty one (and a test failure) when
// it completes normally. While the call runs, fatal errors throw instead of aborting.
FatalErrorReport fatalReportOf(const std::function<void()>& call);

// Saves the window as <name>.png in the screenshot folder; returns the path.
QString saveScreenshot(QWidget* window, const QString& name);

// A phone-sized window (390 × 844 points) with a light background, shown.
std::unique_ptr<ViewController> makeHostWindow(QSize size = QSize(390, 844));

// How far the presentations over `host` dim it (0: not at all, or none there).
double dimmingOver(QWidget* host);

// The colour of the window's pixel at a point in logical coordinates.
QColor pixelAt(QWidget* window, QPoint point);

// The colours the window shows `inset` points in along the diagonal from each
// corner of `widget`: top left, top right, bottom left, bottom right. A
// corner rounded by r leaves r(1 - 1/sqrt 2) points of the diagonal outside.
std::array<QColor, 4> cornerPixels(QWidget* window, QWidget* widget, int inset);

}  // namespace ovira::test

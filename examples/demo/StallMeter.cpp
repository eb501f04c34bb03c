#include "StallMeter.h"

#include <sys/resource.h>

#include <algorithm>

StallMeter::StallMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

void StallMeter::start() {
    longest_ = 0;
    ticks_ = 0;
    clock_.start();
    last_ = clock_.nsecsElapsed();
    timer_.start();
}

void StallMeter::stop() {
    timer_.stop();
}

void StallMeter::tick() {
    const qint64 now = clock_.nsecsElapsed();
    const double late = static_cast<double>(now - last_) / 1e6 - intervalMs;
    longest_ = std::max(longest_, late);
    last_ = now;
    ++ticks_;
}

double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

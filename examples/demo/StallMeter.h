#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Measures how long the GUI thread keeps its events waiting: a fast timer
// notes, at every tick, how much later than asked it came. The longest such
// lateness is the longest stall a user would have seen (a frozen screen,
// a late touch).
class StallMeter : public QObject {
public:
    static constexpr int intervalMs = 5;

    StallMeter();
    void start();
    void stop();
    double longestStallMs() const { return longest_; }
    int ticks() const { return ticks_; }

private:
    void tick();

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    double longest_ = 0;
    int ticks_ = 0;
};

// The process's peak resident memory so far, in megabytes.
double peakResidentMegabytes();

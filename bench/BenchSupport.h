#pragma once

#include <opencv2/core.hpp>

#include <chrono>
#include <string>
#include <vector>

namespace ovira::bench {

struct Stats {
    double median = 0;
    double p95 = 0;
    double mean = 0;
    double max = 0;
    std::size_t count = 0;
};

// Milliseconds in, order statistics out.
Stats summarize(std::vector<double> milliseconds);

double millisecondsSince(std::chrono::steady_clock::time_point start);

// A test picture (BGR), from $OVIRA_TESTDATA or the repository's .deps/testdata.
cv::Mat testPicture(const std::string& name);

// One line of the results table: what, ours, the baseline, the ratio, the target.
void printHeader(const std::string& title);
void printRow(const std::string& what, const std::string& ours, const std::string& baseline,
              const std::string& ratio, const std::string& target);
std::string format(double value, int decimals = 2, const std::string& unit = "");

// The median and p95 rows of a timing table in milliseconds, ours against
// the baseline, the p95 with its target.
void printTimingRows(const Stats& ours, const Stats& baseline, const std::string& p95Target);

}  // namespace ovira::bench

#include "BenchSupport.h"

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <stdexcept>

namespace ovira::bench {

Stats summarize(std::vector<double> milliseconds) {
    Stats stats;
    stats.count = milliseconds.size();
    if (milliseconds.empty()) return stats;
    std::sort(milliseconds.begin(), milliseconds.end());
    const auto at = [&](double share) {
        const auto index =
            static_cast<std::size_t>(share * static_cast<double>(milliseconds.size() - 1) + 0.5);
        return milliseconds[std::min(index, milliseconds.size() - 1)];
    };
    stats.median = at(0.5);
    stats.p95 = at(0.95);
    stats.max = milliseconds.back();
    stats.mean =
        std::accumulate(milliseconds.begin(), milliseconds.end(), 0.0) / static_cast<double>(stats.count);
    return stats;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

cv::Mat testPicture(const std::string& name) {
    const char* configured = std::getenv("OVIRA_TESTDATA");
    const std::filesystem::path folder =
        configured && *configured ? configured
                                  : std::filesystem::path(OVIRA_REPO_DIR) / ".deps" / "testdata";
    cv::Mat picture = cv::imread((folder / name).string(), cv::IMREAD_COLOR);
    if (picture.empty()) throw std::runtime_error("missing test picture " + (folder / name).string());
    return picture;
}

void printHeader(const std::string& title) {
    std::printf("\n%s\n", title.c_str());
    std::printf("%-44s %16s %16s %9s  %s\n", "measure", "OVIRA", "baseline", "ratio", "target");
}

void printRow(const std::string& what, const std::string& ours, const std::string& baseline,
              const std::string& ratio, const std::string& target) {
    std::printf("%-44s %16s %16s %9s  %s\n", what.c_str(), ours.c_str(), baseline.c_str(), ratio.c_str(),
                target.c_str());
    std::fflush(stdout);
}

std::string format(double value, int decimals, const std::string& unit) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f%s", decimals, value, unit.c_str());
    return text;
}

void printTimingRows(const Stats& ours, const Stats& baseline, const std::string& p95Target) {
    printRow("median", format(ours.median, 2, " ms"), format(baseline.median, 2, " ms"),
             format(ours.median / baseline.median), "");
    printRow("p95", format(ours.p95, 2, " ms"), format(baseline.p95, 2, " ms"), format(ours.p95 / baseline.p95),
             p95Target);
}

}  // namespace ovira::bench

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <iomanip>
#include <limits>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "ovira/EKYCLogger.h"
#include "support/LogCapture.h"

namespace ovira {
namespace {

using Dictionary = std::map<std::string, std::string>;
using Subsystem = EKYCLogger::Subsystem;

TEST(EKYCLoggerTest, LinesArePrependLocalTimeWithItsOffsetAndItemsSeparatedBySingleSpaces) {
    const EKYCLogger logger("[N]", Subsystem::networking);
    const std::string savedZone = getenv("TZ") ? getenv("TZ") : "";
    using Row = std::tuple<const char*, long, std::function<void()>, std::string>;
    // clang-format off
    for (const auto& [tz, offset, log, tail] : std::vector<Row>{
             {"ICT-7", 7 * 3600, [&] { logger.log("Method:", "GET", "-", "https://h.example/v1?t=1"); },
              "+0700 Method: GET - https://h.example/v1?t=1"},
             {"EST5", -5 * 3600, [&] { logger.log(); }, "-0500 "},
             {"IST-5:30", 5 * 3600 + 1800, [&] { logger.log("", "a", "", "b"); }, "+0530  a  b"},
             {"UTC0", 0,
              [&] { logger.log("HTTP", 401, 231.0, true, Dictionary{{"A", "b"}}, std::logic_error("x")); },
              R"(+0000 HTTP 401 231.0 true ["A": "b"] x)"}}) {
        // clang-format on
        setenv("TZ", tz, 1);  // POSIX rules need no time zone database
        tzset();
        test::LogCapture capture;
        const std::time_t before = std::time(nullptr);
        log();
        const std::time_t after = std::time(nullptr);
        const std::string line = capture.lines().at(0);
        EXPECT_TRUE(regex_match(line, std::regex(R"(\[N\]: \d{4}(-\d\d){2} (\d\d:){2}\d\d .*)"))) << line;
        EXPECT_EQ(line.substr(25), tail);
        std::tm fields{};
        std::istringstream(line.substr(5, 19)) >> std::get_time(&fields, "%Y-%m-%d %H:%M:%S");
        EXPECT_TRUE(before <= timegm(&fields) - offset && timegm(&fields) - offset <= after) << line;
    }
    savedZone.empty() ? unsetenv("TZ") : setenv("TZ", savedZone.c_str(), 1);
    tzset();
}

TEST(EKYCLoggerTest, ValuesAreDescribedOnOneLineWithControlCharactersEscaped) {
    const double infinity = std::numeric_limits<double>::infinity();
    // clang-format off
    for (const auto& [description, expected] : std::vector<std::pair<std::string, std::string>>{
             {logDescription(Dictionary{}), "[:]"},
             {logDescription(Dictionary{{"b", "1"}, {"A", "2"}}), R"(["A": "2", "b": "1"])"},
             {logDescription(Dictionary{{"q\"\\\r\n", std::string("\t\0\x1b[31m\x7f tên", 13)}}),
              R"(["q\"\\\r\n": "\t\0\u{1b}[31m\u{7f} tên"])"},
             {logDescription(-3.0), "-3.0"}, {logDescription(0.1), "0.1"}, {logDescription(1e16), "1e+16"},
             {logDescription(1.0 / 3.0), "0.3333333333333333"}, {logDescription(1e15), "1000000000000000.0"},
             {logDescription(-infinity), "-inf"}, {logDescription(infinity - infinity), "nan"},
             {logDescription(static_cast<const char*>(nullptr)), ""},
             {logDescription(std::runtime_error("failed")), "failed"}}) {
        // clang-format on
        EXPECT_EQ(description, expected);
    }
}

TEST(EKYCLoggerTest, EntriesCarrySubsystemAndCategoryToTheReplaceableSink) {
    std::vector<std::string> seen;
    EKYCLogger::setSink([&](auto& e) { seen.push_back(e.subsystem + ' ' + e.category + ' ' + e.line); });
    EKYCLogger("[N]", Subsystem::networking).logMessage("200 {\"a\":1}");
    EKYCLogger("[H]", Subsystem::heartbeat, "com.example.host").logMessage("");
    EKYCLogger("", Subsystem::callKit, "").logMessage("three");  // no bundle identifier: the fixed prefix
    testing::internal::CaptureStderr();
    EKYCLogger::setSink(nullptr);  // silences the library
    EKYCLogger("[G]", Subsystem::general).log("dropped", 1);
    EKYCLogger::resetSink();  // back to standard error
    EKYCLogger("[G]", Subsystem::general).logMessage("four");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[G]: four\n");
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "ai.qorix.OVIRA.networking Debug [N]: 200 {\"a\":1}",
                        "com.example.host.heartbeat Debug [H]: ", "ai.qorix.sdk.callKit Debug : three"}));
    EXPECT_EQ(EKYCLogger("", Subsystem::general).subsystemName(), "ai.qorix.OVIRA.general");
    for (auto s : {Subsystem::general, Subsystem::networking, Subsystem::heartbeat, Subsystem::callKit})
        EXPECT_EQ(EKYCLoggerSubsystemFromRawValue(rawValue(s)), s);
    for (auto raw : {"callkit", "Networking", "general "}) EXPECT_FALSE(EKYCLoggerSubsystemFromRawValue(raw));
}

}  // namespace
}  // namespace ovira

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <ctime>
#include <iomanip>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ovira/EKYCLogger.h"
#include "support/LogCapture.h"

namespace ovira {
namespace {

// Runs a test in a fixed time zone (POSIX TZ rules need no time zone database).
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* current = getenv("TZ")) saved_ = current;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> saved_;
};

const char* const kStamp = R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} [+-]\d{4})";

// Seconds since 1970 of a "yyyy-MM-dd HH:mm:ss" text at the given UTC offset in seconds.
std::time_t parseStamp(const std::string& stamp, long offsetSeconds) {
    std::tm fields{};
    std::istringstream in(stamp);
    in >> std::get_time(&fields, "%Y-%m-%d %H:%M:%S");
    EXPECT_FALSE(in.fail()) << stamp;
    return timegm(&fields) - offsetSeconds;
}

// ---- line format ----

TEST(EKYCLoggerLineTest, ItemsFollowThePrependStringAndATimeStamp) {
    test::LogCapture capture;
    const EKYCLogger logger("[Networking]", EKYCLogger::Subsystem::networking);
    logger.log("Method:", "GET", "-", std::string("https://ekyc.example.com/v1/ocr?type=FRONT"));

    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        lines[0], std::regex(std::string(R"(^\[Networking\]: )") + kStamp +
                             R"( Method: GET - https://ekyc\.example\.com/v1/ocr\?type=FRONT$)")))
        << lines[0];
}

TEST(EKYCLoggerLineTest, TheTimeStampIsTheCurrentLocalTimeWithItsOffset) {
    struct Zone {
        const char* tz;
        const char* offsetText;
        long offsetSeconds;
    };
    for (const auto& zone : {Zone{"ICT-7", "+0700", 7 * 3600}, Zone{"EST5", "-0500", -5 * 3600},
                             Zone{"IST-5:30", "+0530", 5 * 3600 + 1800}, Zone{"UTC0", "+0000", 0}}) {
        ScopedTimeZone scoped(zone.tz);
        test::LogCapture capture;
        const std::time_t before = std::time(nullptr);
        EKYCLogger("[T]", EKYCLogger::Subsystem::general).log("x");
        const std::time_t after = std::time(nullptr);

        ASSERT_EQ(capture.lines().size(), 1u);
        const std::string line = capture.lines()[0];
        std::smatch match;
        ASSERT_TRUE(std::regex_match(
            line, match, std::regex(R"(^\[T\]: (\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}) ([+-]\d{4}) x$)")))
            << line;
        EXPECT_EQ(match[2].str(), zone.offsetText) << zone.tz;
        const std::time_t logged = parseStamp(match[1].str(), zone.offsetSeconds);
        EXPECT_GE(logged, before) << line;
        EXPECT_LE(logged, after) << line;
    }
}

TEST(EKYCLoggerLineTest, TimestampAloneHasTheSameFormat) {
    ScopedTimeZone scoped("ICT-7");
    const std::string stamp = EKYCLogger::timestamp();
    EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} \+0700$)")))
        << stamp;
}

TEST(EKYCLoggerLineTest, ZeroItemsLeaveATrailingSpace) {
    test::LogCapture capture;
    EKYCLogger("[Networking]", EKYCLogger::Subsystem::networking).log();
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_TRUE(
        std::regex_match(capture.lines()[0], std::regex(std::string(R"(^\[Networking\]: )") + kStamp + " $")))
        << '"' << capture.lines()[0] << '"';
}

TEST(EKYCLoggerLineTest, ItemsAreSeparatedBySingleSpacesWhateverTheyHold) {
    test::LogCapture capture;
    const EKYCLogger logger("[Networking]", EKYCLogger::Subsystem::networking);
    logger.log("", "a", "", "b");
    logger.log("two  spaces", std::string("end "));
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(
        std::regex_match(lines[0], std::regex(std::string(R"(^\[Networking\]: )") + kStamp + "  a  b$")))
        << lines[0];
    EXPECT_TRUE(std::regex_match(
        lines[1], std::regex(std::string(R"(^\[Networking\]: )") + kStamp + " two  spaces end $")))
        << lines[1];
}

TEST(EKYCLoggerLineTest, MixedItemsUseTheirLogDescriptions) {
    test::LogCapture capture;
    EKYCLogger("[Networking]", EKYCLogger::Subsystem::networking)
        .log("Status:", 401, 231.0, true, std::map<std::string, std::string>{{"Accept", "application/json"}},
             std::runtime_error("boom"));
    ASSERT_EQ(capture.lines().size(), 1u);
    const std::string line = capture.lines()[0];
    const std::string tail = R"(Status: 401 231.0 true ["Accept": "application/json"] boom)";
    ASSERT_GE(line.size(), tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail) << line;
}

TEST(EKYCLoggerLineTest, LogMessageWritesTheMessageUnchanged) {
    test::LogCapture capture;
    const EKYCLogger logger("[Networking]", EKYCLogger::Subsystem::networking);
    logger.logMessage("Response: 200 {\"statusCode\":0}");
    logger.logMessage("");
    EKYCLogger("", EKYCLogger::Subsystem::general).logMessage("bare");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"[Networking]: Response: 200 {\"statusCode\":0}",
                                                         "[Networking]: ", ": bare"}));
}

// ---- subsystems ----

TEST(EKYCLoggerSubsystemTest, EntriesCarryTheSubsystemNameAndTheDebugCategory) {
    test::LogCapture capture;
    EKYCLogger("[Networking]", EKYCLogger::Subsystem::networking).logMessage("one");
    EKYCLogger("[H]", EKYCLogger::Subsystem::heartbeat, "com.example.host").logMessage("two");
    EKYCLogger("[C]", EKYCLogger::Subsystem::callKit, "").logMessage("three");

    const auto entries = capture.entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].subsystem, "ai.qorix.OVIRA.networking");
    EXPECT_EQ(entries[1].subsystem, "com.example.host.heartbeat");
    EXPECT_EQ(entries[2].subsystem, "ai.qorix.sdk.callKit");  // no bundle identifier: the fixed fallback
    EXPECT_EQ(entries[2].line, "[C]: three");                 // and it still logs
    for (const auto& entry : entries) EXPECT_EQ(entry.category, "Debug");
}

TEST(EKYCLoggerSubsystemTest, NamesAndPrependString) {
    const EKYCLogger logger("[Networking]", EKYCLogger::Subsystem::networking);
    EXPECT_EQ(logger.subsystemName(), "ai.qorix.OVIRA.networking");
    EXPECT_EQ(logger.prependString(), "[Networking]");
    EXPECT_EQ(EKYCLogger("", EKYCLogger::Subsystem::general, "").subsystemName(), "ai.qorix.sdk.general");
    EXPECT_EQ(EKYCLogger("", EKYCLogger::Subsystem::general).subsystemName(), "ai.qorix.OVIRA.general");
}

TEST(EKYCLoggerSubsystemTest, RawValuesAndParsing) {
    const std::vector<std::pair<EKYCLogger::Subsystem, std::string>> cases{
        {EKYCLogger::Subsystem::general, "general"},
        {EKYCLogger::Subsystem::networking, "networking"},
        {EKYCLogger::Subsystem::heartbeat, "heartbeat"},
        {EKYCLogger::Subsystem::callKit, "callKit"},
    };
    for (const auto& [subsystem, raw] : cases) {
        EXPECT_EQ(rawValue(subsystem), raw);
        const auto parsed = EKYCLoggerSubsystemFromRawValue(raw);
        ASSERT_TRUE(parsed.has_value()) << raw;
        EXPECT_EQ(*parsed, subsystem);
    }
    for (const char* raw : {"callkit", "CallKit", "Networking", "GENERAL", "", "network", "heartbeat "}) {
        EXPECT_FALSE(EKYCLoggerSubsystemFromRawValue(raw).has_value()) << raw;
    }
}

// ---- log descriptions ----

TEST(LogDescriptionTest, Dictionaries) {
    using Dictionary = std::map<std::string, std::string>;
    EXPECT_EQ(logDescription(Dictionary{}), "[:]");
    EXPECT_EQ(logDescription(Dictionary{{"k", "v"}}), R"(["k": "v"])");
    EXPECT_EQ(logDescription(Dictionary{{"Content-Type", "application/json"}, {"Accept", "*/*"}}),
              R"(["Accept": "*/*", "Content-Type": "application/json"])");
    EXPECT_EQ(logDescription(Dictionary{{"", ""}}), R"(["": ""])");
    EXPECT_EQ(logDescription(Dictionary{{"q\"", "back\\slash"}}), R"(["q\"": "back\\slash"])");
}

TEST(LogDescriptionTest, DictionaryTextStaysOnOneLine) {
    using Dictionary = std::map<std::string, std::string>;
    EXPECT_EQ(logDescription(Dictionary{{"k", "a\nb"}}), R"(["k": "a\nb"])");
    EXPECT_EQ(logDescription(Dictionary{{"k\r\n", "\t"}}), R"(["k\r\n": "\t"])");
    EXPECT_EQ(logDescription(Dictionary{{"k", std::string("a\0b", 3)}}), R"(["k": "a\0b"])");
    EXPECT_EQ(logDescription(Dictionary{{"k", "\x1b[31m"}}), R"(["k": "\u{1b}[31m"])");
    EXPECT_EQ(logDescription(Dictionary{{"tên", "Nguyễn"}}), R"(["tên": "Nguyễn"])");
}

TEST(LogDescriptionTest, Doubles) {
    EXPECT_EQ(logDescription(231.0), "231.0");
    EXPECT_EQ(logDescription(-3.0), "-3.0");
    EXPECT_EQ(logDescription(0.0), "0.0");
    EXPECT_EQ(logDescription(12.5), "12.5");
    EXPECT_EQ(logDescription(0.1), "0.1");
    EXPECT_EQ(logDescription(1.0 / 3.0), "0.3333333333333333");
    EXPECT_EQ(logDescription(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(logDescription(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(logDescription(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(LogDescriptionTest, OtherValues) {
    EXPECT_EQ(logDescription(401), "401");
    EXPECT_EQ(logDescription(-1009L), "-1009");
    EXPECT_EQ(logDescription(std::size_t{0}), "0");
    EXPECT_EQ(logDescription(true), "true");
    EXPECT_EQ(logDescription(false), "false");
    EXPECT_EQ(logDescription("text"), "text");
    EXPECT_EQ(logDescription(static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(logDescription(std::string_view("view")), "view");
    EXPECT_EQ(logDescription(std::runtime_error("failed")), "failed");
}

// ---- the sink ----

TEST(EKYCLoggerSinkTest, TheSinkIsReplacedAndRestored) {
    std::vector<std::string> first;
    std::vector<std::string> second;
    const EKYCLogger logger("[S]", EKYCLogger::Subsystem::general);

    EKYCLogger::setSink([&](const EKYCLogEntry& entry) { first.push_back(entry.line); });
    logger.logMessage("one");
    EKYCLogger::setSink([&](const EKYCLogEntry& entry) { second.push_back(entry.line); });
    logger.logMessage("two");

    testing::internal::CaptureStderr();
    EKYCLogger::resetSink();
    logger.logMessage("three");
    const std::string standardError = testing::internal::GetCapturedStderr();

    EXPECT_EQ(first, std::vector<std::string>{"[S]: one"});
    EXPECT_EQ(second, std::vector<std::string>{"[S]: two"});
    EXPECT_EQ(standardError, "[S]: three\n");
}

TEST(EKYCLoggerSinkTest, AnEmptySinkSilencesTheLibrary) {
    const EKYCLogger logger("[S]", EKYCLogger::Subsystem::general);
    testing::internal::CaptureStderr();
    EKYCLogger::setSink(nullptr);
    logger.logMessage("dropped");
    logger.log("dropped", 1);
    EKYCLogger::resetSink();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(EKYCLoggerSinkTest, LogCaptureRestoresStandardErrorWhenItEnds) {
    const EKYCLogger logger("[S]", EKYCLogger::Subsystem::general);
    testing::internal::CaptureStderr();
    {
        test::LogCapture capture;
        logger.logMessage("captured");
        EXPECT_EQ(capture.lines(), std::vector<std::string>{"[S]: captured"});
    }
    logger.logMessage("after");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[S]: after\n");
}

TEST(EKYCLoggerSinkTest, LinesFromManyThreadsArriveWhole) {
    test::LogCapture capture;
    const EKYCLogger logger("[Networking]", EKYCLogger::Subsystem::networking);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&logger, t] {
            for (int i = 0; i < 100; ++i)
                logger.logMessage("thread " + std::to_string(t) + " line " + std::to_string(i));
        });
    }
    for (auto& thread : threads) thread.join();

    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 400u);
    std::map<std::string, int> counts;
    for (const auto& line : lines) ++counts[line];
    for (int t = 0; t < 4; ++t) {
        for (int i = 0; i < 100; ++i) {
            EXPECT_EQ(counts["[Networking]: thread " + std::to_string(t) + " line " + std::to_string(i)], 1);
        }
    }
}

}  // namespace
}  // namespace ovira

#pragma once

#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace ovira {

/// One line for the log: where it comes from and what it says.
struct EKYCLogEntry {
    std::string subsystem;  ///< e.g. "ai.qorix.OVIRA.networking"
    std::string category;   ///< "Debug"
    std::string line;       ///< "<prepend>: <message>"
};

/// Renders a value for a log line the way diagnostics usually show it.
///@{
std::string logDescription(std::string_view text);
std::string logDescription(const std::string& text);
std::string logDescription(const char* text);
std::string logDescription(double number);  ///< 231.0, 12.5
std::string logDescription(bool value);
std::string logDescription(const std::map<std::string, std::string>& dictionary);  ///< ["a": "b"], [:]
std::string logDescription(const std::exception& error);
///@}
/// An integer in decimal.
template <class T>
std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, std::string> logDescription(T number) {
    return std::to_string(number);
}

/// Writes the library's diagnostic lines:
/// "<prepend>: yyyy-MM-dd HH:mm:ss Z item item item".
/// Lines go to a process-wide sink: standard error unless the host sets its own.
class EKYCLogger {
public:
    /// What part of the library a line comes from; it names the entry's subsystem.
    enum class Subsystem { general, networking, heartbeat, callKit };
    /// Receives every line (see setSink()).
    using Sink = std::function<void(const EKYCLogEntry&)>;

    /// Used when the library carries no bundle identifier of its own.
    static constexpr const char* defaultSubsystemPrefix = "ai.qorix.sdk";
    /// The library's bundle identifier, the first part of its subsystem names.
    static constexpr const char* libraryBundleIdentifier = "ai.qorix.OVIRA";

    /// A logger whose lines start with `prependString`, under the library's
    /// bundle identifier.
    EKYCLogger(std::string prependString, Subsystem subsystem);
    /// With an explicit bundle identifier; an empty one falls back to defaultSubsystemPrefix.
    EKYCLogger(std::string prependString, Subsystem subsystem, std::string bundleIdentifier);

    /// Time stamp, then every item in its log description, separated by single spaces.
    template <class... Items>
    void log(const Items&... items) const {
        logItems(std::vector<std::string>{logDescription(items)...});
    }
    /// Time stamp, then the items, separated by single spaces.
    void logItems(const std::vector<std::string>& items) const;

    /// The message as it is, after the prepend string.
    void logMessage(std::string_view message) const;

    /// What every line starts with.
    const std::string& prependString() const { return prependString_; }
    /// "<bundle identifier>.<subsystem>".
    const std::string& subsystemName() const { return subsystemName_; }

    /// The host's destination for log lines; an empty sink silences the library.
    /// Safe to call from any thread; the sink may be called from any thread.
    static void setSink(Sink sink);
    static void resetSink();  ///< back to standard error

    /// "yyyy-MM-dd HH:mm:ss Z" in the device's time zone.
    static std::string timestamp();

private:
    std::string prependString_;
    std::string subsystemName_;
};

/// "general", "networking", "heartbeat" or "callKit".
std::string_view rawValue(EKYCLogger::Subsystem subsystem);
/// The subsystem of that name, or nothing.
std::optional<EKYCLogger::Subsystem> EKYCLoggerSubsystemFromRawValue(std::string_view rawValue);

}  // namespace ovira

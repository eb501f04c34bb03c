#include "ovira/EKYCLogger.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>

namespace ovira {
namespace {

void writeToStandardError(const EKYCLogEntry& entry) {
    std::string line = entry.line;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

struct SinkHolder {
    std::mutex mutex;
    std::shared_ptr<const EKYCLogger::Sink> sink =
        std::make_shared<const EKYCLogger::Sink>(writeToStandardError);
};

SinkHolder& sinkHolder() {
    // Never destroyed: threads still running at exit may log.
    static auto* holder = new SinkHolder;
    return *holder;
}

// Escapes control characters as well, so that a dictionary never breaks a
// log entry across lines.
std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                result += "\\\"";
                break;
            case '\\':
                result += "\\\\";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\r':
                result += "\\r";
                break;
            case '\t':
                result += "\\t";
                break;
            case '\0':
                result += "\\0";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char escaped[16];
                    const auto code = static_cast<unsigned>(static_cast<unsigned char>(c));
                    std::snprintf(escaped, sizeof escaped, "\\u{%x}", code);
                    result += escaped;
                } else {
                    result += c;
                }
        }
    }
    result += '"';
    return result;
}

}  // namespace

std::string logDescription(std::string_view text) {
    return std::string(text);
}
std::string logDescription(const std::string& text) {
    return text;
}
std::string logDescription(const char* text) {
    return text ? text : "";
}
std::string logDescription(bool value) {
    return value ? "true" : "false";
}
std::string logDescription(const std::exception& error) {
    return error.what();
}

std::string logDescription(double number) {
    if (std::isnan(number)) return "nan";
    if (std::isinf(number)) return number > 0 ? "inf" : "-inf";
    char buffer[64];
    // Whole numbers keep one decimal ("231.0"), others the shortest exact form.
    if (number == std::trunc(number) && std::fabs(number) < 1e16) {
        std::snprintf(buffer, sizeof buffer, "%.1f", number);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.17g", number);
        for (int precision = 1; precision <= 17; ++precision) {
            char candidate[64];
            std::snprintf(candidate, sizeof candidate, "%.*g", precision, number);
            if (std::strtod(candidate, nullptr) == number) {
                std::snprintf(buffer, sizeof buffer, "%s", candidate);
                break;
            }
        }
    }
    return buffer;
}

std::string logDescription(const std::map<std::string, std::string>& dictionary) {
    if (dictionary.empty()) return "[:]";
    std::string text = "[";
    bool first = true;
    for (const auto& [key, value] : dictionary) {
        if (!first) text += ", ";
        first = false;
        text += quoted(key) + ": " + quoted(value);
    }
    return text + "]";
}

std::string_view rawValue(EKYCLogger::Subsystem subsystem) {
    switch (subsystem) {
        case EKYCLogger::Subsystem::general:
            return "general";
        case EKYCLogger::Subsystem::networking:
            return "networking";
        case EKYCLogger::Subsystem::heartbeat:
            return "heartbeat";
        case EKYCLogger::Subsystem::callKit:
            return "callKit";
    }
    return "general";
}

std::optional<EKYCLogger::Subsystem> EKYCLoggerSubsystemFromRawValue(std::string_view value) {
    for (auto subsystem : {EKYCLogger::Subsystem::general, EKYCLogger::Subsystem::networking,
                           EKYCLogger::Subsystem::heartbeat, EKYCLogger::Subsystem::callKit}) {
        if (rawValue(subsystem) == value) return subsystem;
    }
    return std::nullopt;
}

EKYCLogger::EKYCLogger(std::string prependString, Subsystem subsystem)
    : EKYCLogger(std::move(prependString), subsystem, libraryBundleIdentifier) {}

EKYCLogger::EKYCLogger(std::string prependString, Subsystem subsystem, std::string bundleIdentifier)
    : prependString_(std::move(prependString)) {
    subsystemName_ = (bundleIdentifier.empty() ? std::string(defaultSubsystemPrefix) : bundleIdentifier) +
                     "." + std::string(rawValue(subsystem));
}

std::string EKYCLogger::timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm fields{};
    localtime_r(&now, &fields);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S %z", &fields);
    return buffer;
}

void EKYCLogger::logItems(const std::vector<std::string>& items) const {
    std::string message = timestamp();
    message += ' ';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) message += ' ';
        message += items[i];
    }
    logMessage(message);
}

void EKYCLogger::logMessage(std::string_view message) const {
    std::shared_ptr<const Sink> sink;
    {
        auto& holder = sinkHolder();
        std::lock_guard lock(holder.mutex);
        sink = holder.sink;
    }
    if (!sink || !*sink) return;
    EKYCLogEntry entry{subsystemName_, "Debug", prependString_ + ": " + std::string(message)};
    (*sink)(entry);
}

void EKYCLogger::setSink(Sink sink) {
    auto& holder = sinkHolder();
    std::lock_guard lock(holder.mutex);
    holder.sink = std::make_shared<const Sink>(std::move(sink));
}

void EKYCLogger::resetSink() {
    setSink(writeToStandardError);
}

}  // namespace ovira

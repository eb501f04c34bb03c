#include "support/LogCapture.h"

namespace ovira::test {

LogCapture::LogCapture() {
    EKYCLogger::setSink([this](const EKYCLogEntry& entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(entry);
    });
}

LogCapture::~LogCapture() {
    EKYCLogger::resetSink();
}

std::vector<EKYCLogEntry> LogCapture::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::vector<std::string> LogCapture::lines() const {
    std::vector<std::string> result;
    for (const auto& entry : entries()) result.push_back(entry.line);
    return result;
}

std::string LogCapture::text() const {
    std::string result;
    for (const auto& line : lines()) result += line + "\n";
    return result;
}

std::string LogCapture::lineContaining(const std::string& fragment) const {
    for (const auto& line : lines()) {
        if (line.find(fragment) != std::string::npos) return line;
    }
    return {};
}

}  // namespace ovira::test

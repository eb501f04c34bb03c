#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "ovira/EKYCLogger.h"

namespace ovira::test {

// Collects the library's log lines while it lives; restores standard error after.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<EKYCLogEntry> entries() const;
    std::vector<std::string> lines() const;
    // Every line joined with newlines.
    std::string text() const;
    // The first line containing the fragment, or "".
    std::string lineContaining(const std::string& fragment) const;

private:
    mutable std::mutex mutex_;
    std::vector<EKYCLogEntry> entries_;
};

}  // namespace ovira::test

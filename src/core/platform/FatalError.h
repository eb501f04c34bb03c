#pragma once

#include <functional>
#include <string>

namespace ovira {

// A packaging or programming fault that the library cannot continue from: a
// resource missing from the library, a screen shown without its view model.
struct FatalErrorReport {
    std::string message;  // "Unable to load image asset named ic_back."
    std::string source;   // where it was found: "Images", "EKYCBaseViewController", ...
};

// Called with the report; it must not return (it may throw). The default
// logs the report and aborts.
using FatalErrorHandler = std::function<void(const FatalErrorReport&)>;

// Stops the library through the installed handler. If a handler returns,
// the process aborts all the same.
[[noreturn]] void fatalError(const std::string& message, const std::string& source);

// Installs a handler (thread-safe) and returns the previous one; an empty
// handler restores the default. Tests install one that throws.
FatalErrorHandler setFatalErrorHandler(FatalErrorHandler handler);

}  // namespace ovira

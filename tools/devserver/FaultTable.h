#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Faults.h"

namespace ovira::devserver {

// The faults in force, shared by the request threads.
class FaultTable {
public:
    void set(const Fault& fault);  // replaces any fault for the same path
    void clear();
    // The fault for this endpoint, or else the one for "*", counting the use.
    std::optional<Fault> take(const std::string& endpoint);
    std::vector<Fault> list() const;

private:
    mutable std::mutex mutex_;
    std::vector<Fault> faults_;
};

}  // namespace ovira::devserver

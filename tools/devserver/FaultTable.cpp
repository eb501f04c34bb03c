#include "FaultTable.h"

#include <algorithm>

namespace ovira::devserver {

void FaultTable::set(const Fault& fault) {
    std::lock_guard lock(mutex_);
    const auto same =
        std::find_if(faults_.begin(), faults_.end(), [&](const Fault& f) { return f.path == fault.path; });
    if (same != faults_.end())
        *same = fault;
    else
        faults_.push_back(fault);
}

void FaultTable::clear() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

std::optional<Fault> FaultTable::take(const std::string& endpoint) {
    std::lock_guard lock(mutex_);
    auto found =
        std::find_if(faults_.begin(), faults_.end(), [&](const Fault& f) { return f.path == endpoint; });
    if (found == faults_.end()) {
        found = std::find_if(faults_.begin(), faults_.end(), [](const Fault& f) { return f.path == "*"; });
    }
    if (found == faults_.end()) return std::nullopt;
    Fault fault = *found;
    if (found->count > 0 && --found->count == 0) faults_.erase(found);
    return fault;
}

std::vector<Fault> FaultTable::list() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

}  // namespace ovira::devserver

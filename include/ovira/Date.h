#pragma once

#include <chrono>

namespace ovira {

/// A moment in time, as the service's models carry it.
using Date = std::chrono::system_clock::time_point;

/// Seconds between 1970-01-01 and 2001-01-01, the reference date of the
/// default JSON date representation.
inline constexpr double kReferenceDateOffset = 978307200.0;

}  // namespace ovira

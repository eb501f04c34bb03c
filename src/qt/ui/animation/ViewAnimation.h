#pragma once

#include <atomic>

namespace ovira {

// The library-wide animation switch. With animations off, every animated
// change (pushes, presentations, a sheet springing back, scrolling) jumps
// to its end at once, with the same order of events; tests and
// accessibility settings turn them off.
class ViewAnimation {
public:
    static bool areAnimationsEnabled() { return enabled_.load(); }
    static void setAnimationsEnabled(bool enabled) { enabled_.store(enabled); }

    ViewAnimation() = delete;

private:
    static inline std::atomic<bool> enabled_{true};
};

}  // namespace ovira

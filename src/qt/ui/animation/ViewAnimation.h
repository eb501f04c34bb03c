#pragma once

namespace ovira {

// The library-wide animation switch. With animations off, every animated
// change (pushes, presentations, a sheet springing back, scrolling) jumps
// to its end at once, with the same order of events; tests and
// accessibility settings turn them off.
class ViewAnimation {
public:
    static bool areAnimationsEnabled();
    static void setAnimationsEnabled(bool enabled);

    ViewAnimation() = delete;
};

}  // namespace ovira

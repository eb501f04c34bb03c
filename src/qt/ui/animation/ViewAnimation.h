#pragma once

namespace ovira {

// The library-wide animation switch. With animations off, every animated
// change (transitions, animators) jumps to its end at the next turn of the
// event loop, in the same order of events; tests and accessibility
// settings turn them off.
class ViewAnimation {
public:
    static bool areAnimationsEnabled();
    static void setAnimationsEnabled(bool enabled);

    ViewAnimation() = delete;
};

}  // namespace ovira

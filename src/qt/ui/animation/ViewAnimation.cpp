#include "ui/animation/ViewAnimation.h"

#include <atomic>

namespace ovira {
namespace {
std::atomic<bool> enabled{true};
}

bool ViewAnimation::areAnimationsEnabled() {
    return enabled.load();
}

void ViewAnimation::setAnimationsEnabled(bool value) {
    enabled.store(value);
}

}  // namespace ovira

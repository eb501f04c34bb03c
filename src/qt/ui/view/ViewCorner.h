#pragma once

#include <initializer_list>
#include <vector>

namespace ovira {

// The corners of a view, each with its bit in a corner mask.
enum class ViewCorner : unsigned { topLeft = 1, topRight = 2, bottomLeft = 4, bottomRight = 8 };

using CornerMask = unsigned;
constexpr CornerMask allCorners = 15;

constexpr CornerMask cornerMask(const std::vector<ViewCorner>& corners) {
    CornerMask mask = 0;
    for (ViewCorner corner : corners) mask |= static_cast<unsigned>(corner);
    return mask;
}

}  // namespace ovira

#pragma once

#include <compare>

namespace ovira {

// A row (or item) of a section of a list.
struct IndexPath {
    int section = 0;
    int row = 0;
    int item() const { return row; }
    auto operator<=>(const IndexPath&) const = default;
};

}  // namespace ovira

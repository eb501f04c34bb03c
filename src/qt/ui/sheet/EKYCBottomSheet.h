#pragma once

#include <optional>

namespace ovira {

// Namespace of the bottom sheet's sizing.
struct EKYCBottomSheet {
    // The sheet's height as a share of its container's; fit lets the
    // sheet's content decide.
    enum class PreferredSizing { fit, small, medium, large, fill };

    static double rawValue(PreferredSizing sizing);
    // Exactly 0, 0.25, 0.5, 0.75 or 1.
    static std::optional<PreferredSizing> sizingFromRawValue(double rawValue);

    EKYCBottomSheet() = delete;
};

}  // namespace ovira

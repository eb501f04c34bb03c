#pragma once

namespace ovira {

// Namespace of the bottom sheet's sizing.
struct EKYCBottomSheet {
    enum class PreferredSizing { fit, small, medium, large, fill };

    // The sheet's height as a share of its container's: 0 for fit (the
    // sheet's content decides), then 0.25, 0.5, 0.75 and 1.
    static constexpr double rawValue(PreferredSizing sizing) { return static_cast<int>(sizing) * 0.25; }

    EKYCBottomSheet() = delete;
};

}  // namespace ovira

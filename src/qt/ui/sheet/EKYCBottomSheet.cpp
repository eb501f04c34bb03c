#include "ui/sheet/EKYCBottomSheet.h"

namespace ovira {

double EKYCBottomSheet::rawValue(PreferredSizing sizing) {
    switch (sizing) {
        case PreferredSizing::fit:
            return 0.0;
        case PreferredSizing::small:
            return 0.25;
        case PreferredSizing::medium:
            return 0.5;
        case PreferredSizing::large:
            return 0.75;
        case PreferredSizing::fill:
            return 1.0;
    }
    return 0.5;
}

std::optional<EKYCBottomSheet::PreferredSizing> EKYCBottomSheet::sizingFromRawValue(double rawValue) {
    for (auto sizing : {PreferredSizing::fit, PreferredSizing::small, PreferredSizing::medium,
                        PreferredSizing::large, PreferredSizing::fill})
        if (EKYCBottomSheet::rawValue(sizing) == rawValue) return sizing;
    return std::nullopt;
}

}  // namespace ovira

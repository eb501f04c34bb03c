#pragma once

#include <string>

namespace ovira {

// One illustrated rule of the face guide. Images are named assets, which the
// screen loads.
struct EKYCGuideFaceCellViewModel {
    std::string image;
    std::string title;  // localized
    std::string icon;   // a tick for a do, a cross for a don't

    friend bool operator==(const EKYCGuideFaceCellViewModel&, const EKYCGuideFaceCellViewModel&) = default;
};

}  // namespace ovira

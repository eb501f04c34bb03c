#pragma once

#include <vector>

#include "screens/base/EKYCBaseViewModel.h"
#include "screens/guide/EKYCGuideFaceCellViewModel.h"

namespace ovira {

// The face guide: good light; no glasses; no mask.
class EKYCGuideFaceViewModel : public EKYCBaseViewModel {
public:
    EKYCGuideFaceViewModel();

    const std::vector<EKYCGuideFaceCellViewModel> items;
};

}  // namespace ovira

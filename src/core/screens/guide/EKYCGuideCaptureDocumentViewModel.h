#pragma once

#include <string>
#include <vector>

#include "screens/base/EKYCBaseViewModel.h"

namespace ovira {

// The notes of the document guide: the document, the light, sharpness.
class EKYCGuideCaptureDocumentViewModel : public EKYCBaseViewModel {
public:
    EKYCGuideCaptureDocumentViewModel();

    const std::vector<std::string> items;
};

}  // namespace ovira

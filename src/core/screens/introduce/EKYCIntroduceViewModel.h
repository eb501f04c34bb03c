#pragma once

#include <vector>

#include "ovira/EkycTypeDocument.h"
#include "screens/base/EKYCBaseViewModel.h"

namespace ovira {

// The first screen: the documents a user can verify with, in the order shown.
class EKYCIntroduceViewModel : public EKYCBaseViewModel {
public:
    const std::vector<EkycTypeDocument> items{EkycTypeDocument::idCard, EkycTypeDocument::licenseDriver,
                                              EkycTypeDocument::passport};
};

}  // namespace ovira

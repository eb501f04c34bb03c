#pragma once

#include <type_traits>

#include "capture/EKYCBaseDetectionViewControllerBase.h"
#include "screens/base/EKYCBaseViewController.h"

namespace ovira {

// A capture screen over the type of its detection view model. Whoever opens
// it creates it with its camera type, assigns the view model (created with
// the document kind and the photographs so far), then shows it.
template <class VM>
class EKYCBaseDetectionViewController
    : public EKYCBaseViewController<VM, EKYCBaseDetectionViewControllerBase> {
    static_assert(std::is_base_of_v<EKYCBaseDetectionViewModel, VM>,
                  "VM must derive from EKYCBaseDetectionViewModel");

public:
    using EKYCBaseViewController<VM, EKYCBaseDetectionViewControllerBase>::EKYCBaseViewController;

    EKYCBaseDetectionViewModel& detectionViewModel() const override { return this->viewModel(); }
};

}  // namespace ovira

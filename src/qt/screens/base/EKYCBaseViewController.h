#pragma once

#include <memory>
#include <type_traits>

#include "screens/base/EKYCBaseViewControllerBase.h"
#include "screens/base/TypeName.h"

namespace ovira {

// The base of every screen, over the type of its view model. Whoever opens
// a screen creates it, assigns its view model (setViewModel), then shows
// it; the screen owns the view model.
template <class VM, class Base = EKYCBaseViewControllerBase>
class EKYCBaseViewController : public Base {
    static_assert(std::is_base_of_v<EKYCBaseViewModel, VM>, "VM must derive from EKYCBaseViewModel");
    static_assert(std::is_base_of_v<EKYCBaseViewControllerBase, Base>);

public:
    using Base::Base;

    void setViewModel(std::shared_ptr<VM> viewModel) {
        typed_ = viewModel.get();
        this->assignViewModel(std::move(viewModel));
    }
    bool hasViewModel() const { return typed_ != nullptr; }
    // Reading it before one is assigned stops the library with
    // "Must invoke <VM>": creators assign it before showing the screen.
    VM& viewModel() const {
        this->requireViewModel();
        return *typed_;
    }

protected:
    QString viewModelTypeName() const override { return unqualifiedTypeName<VM>(); }

private:
    VM* typed_ = nullptr;
};

}  // namespace ovira

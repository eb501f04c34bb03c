#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ovira/EKYCAPIError.h"
#include "platform/AnyCancellable.h"
#include "platform/PassthroughSubject.h"

namespace ovira {

// The base of every view model. A view model never refers to its screen: it
// publishes events, and the screen reports its life through the hooks.
// Events arrive on the thread that publishes them; subscribers that touch
// widgets move to the GUI thread themselves.
//
// Create view models with makeViewModel(): it guarantees that onDeinit()
// runs, with the full object still alive, first thing on destruction.
class EKYCBaseViewModel : public std::enable_shared_from_this<EKYCBaseViewModel> {
public:
    EKYCBaseViewModel() = default;
    EKYCBaseViewModel(const EKYCBaseViewModel&) = delete;
    EKYCBaseViewModel& operator=(const EKYCBaseViewModel&) = delete;

    std::vector<AnyCancellable> subscriptions;

    // true: a request started, block the screen; false: it ended.
    PassthroughSubject<bool> loadingPublisher;
    // The service refused the session (HTTP 401); carries its message.
    PassthroughSubject<std::optional<std::string>> unAuthorizedPublisher;

    virtual void onViewDidLoad() {}
    virtual void onViewWillAppear() {}
    virtual void onViewDidAppear() {}
    virtual void onViewWillDisappear() {}
    virtual void onViewDidDisappear() {}
    virtual void onDeinit() {}

protected:
    virtual ~EKYCBaseViewModel() = default;

    // This view model, held weakly: what a background call hands its result
    // to, so that a screen closed meanwhile receives nothing.
    template <class Self>
    std::weak_ptr<Self> weakSelf() {
        return std::static_pointer_cast<Self>(weak_from_this().lock());
    }

    // Publishes the error's message on unAuthorizedPublisher when the service
    // answered HTTP 401; returns whether it did.
    bool publishIfUnauthorized(const EKYCAPIError& error);

private:
    friend struct EKYCViewModelDeleter;
};

struct EKYCViewModelDeleter {
    void operator()(EKYCBaseViewModel* viewModel) const {
        viewModel->onDeinit();
        delete viewModel;
    }
};

template <class VM, class... Args>
std::shared_ptr<VM> makeViewModel(Args&&... args) {
    return std::shared_ptr<VM>(new VM(std::forward<Args>(args)...), EKYCViewModelDeleter{});
}

}  // namespace ovira

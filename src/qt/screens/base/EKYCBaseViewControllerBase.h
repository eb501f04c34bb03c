#pragma once

#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "ovira/OVIRADelegate.h"
#include "platform/AnyCancellable.h"
#include "screens/base/EKYCBaseViewModel.h"
#include "ui/controller/ViewController.h"

namespace ovira {

class ActivityIndicatorView;
class LoadingOverlayView;

// What every screen of the flow shares, whatever its view model: the
// order of set-up when it loads, its life reported to the view model, the
// loading overlay, the close button and its confirmation, the end of the
// flow on an unauthorised session, and portrait only. Screens derive from
// EKYCBaseViewController<VM>, which adds the typed view model.
class EKYCBaseViewControllerBase : public ViewController {
    Q_OBJECT
public:
    explicit EKYCBaseViewControllerBase(QWidget* parent = nullptr);
    ~EKYCBaseViewControllerBase() override;

    std::vector<AnyCancellable> subscriptions;

    bool isLoading() const { return isLoading_; }
    // true shows the overlay and its spinner, false removes them; a value
    // equal to the current one does nothing.
    void setLoading(bool loading);

    LoadingOverlayView* overPlayLoading() const { return overPlayLoading_; }
    ActivityIndicatorView* activityIndicator() const { return activityIndicator_; }

    // Set-up steps of viewDidLoad, in this order: setupUI, bindViewModel, configure.
    virtual void configure();
    virtual void setupUI();
    virtual void bindViewModel();
    virtual void showLoading();
    virtual void hideLoading();
    virtual void confirmClose();
    // What leaving means for this screen: back to the first screen of the flow.
    virtual void backToRoot();
    virtual void showUnauthorizedAlert(const std::optional<QString>& message);

    // The close button's action.
    void didTapClose();
    // Escape does what the close button does.
    bool didPressEscape() override {
        didTapClose();
        return true;
    }

    // The step of the flow this screen is, reported to the host when it
    // appears; nothing for screens that are not a step of their own.
    virtual std::optional<OVIRAFlowStep> flowStep() const { return std::nullopt; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

    // The view model, or null while none is assigned.
    EKYCBaseViewModel* baseViewModel() const { return viewModel_.get(); }
    void assignViewModel(std::shared_ptr<EKYCBaseViewModel> viewModel) { viewModel_ = std::move(viewModel); }
    // Stops the library with "Must invoke <type>" when no view model is assigned.
    EKYCBaseViewModel& requireViewModel() const;
    virtual QString viewModelTypeName() const { return QStringLiteral("EKYCBaseViewModel"); }

private:
    bool isLoading_ = false;
    LoadingOverlayView* overPlayLoading_;
    ActivityIndicatorView* activityIndicator_;
    std::shared_ptr<EKYCBaseViewModel> viewModel_;
};

}  // namespace ovira

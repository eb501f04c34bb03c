#include "screens/base/EKYCBaseViewControllerBase.h"

#include <QCoreApplication>
#include <QThread>

#include "platform/FatalError.h"
#include "resources/ColorAsset.h"
#include "resources/EKYCImage.h"
#include "resources/EKYCTheme.h"
#include "resources/Localized.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "screens/base/LoadingOverlayView.h"
#include "sdk/EKYCFlowReport.h"
#include "sdk/EKYCUserDefault.h"
#include "sdk/QtMainQueue.h"
#include "ui/alert/AlertBuilder.h"
#include "ui/alert/AlertController.h"
#include "ui/alert/DialogBuilder.h"
#include "ui/controller/NavigationController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/view/AccessibleInterfaces.h"
#include "ui/view/ActivityIndicatorView.h"

namespace ovira {
namespace {

// The flow's own presentation seen from one of its screens: the navigation
// container, also from a sheet that a screen of the flow presented.
ViewController* flowPresentation(ViewController* screen) {
    const auto containerOf = [](ViewController* controller) -> ViewController* {
        auto* navigation = controller->navigationController();
        return navigation ? navigation : controller;
    };
    ViewController* flow = containerOf(screen);
    while (auto* presenter = flow->presentingViewController()) {
        auto* container = containerOf(presenter);
        if (!qobject_cast<EKYCBaseViewControllerBase*>(presenter) &&
            !qobject_cast<EKYCBaseNavigationViewController*>(container))
            break;  // the host's screen
        flow = container;
    }
    return flow;
}

}  // namespace

EKYCBaseViewControllerBase::EKYCBaseViewControllerBase(QWidget* parent)
    : ViewController(parent),
      overPlayLoading_(new LoadingOverlayView(this)),
      activityIndicator_(new ActivityIndicatorView(overPlayLoading_)) {
    installQtMainQueue();
    // Before any of the screen's own widgets exists, so that each gets its interface.
    installAccessibleInterfaces();
    overPlayLoading_->hide();
    activityIndicator_->setGeometry(0, 0, 100, 100);
    activityIndicator_->setColor(Qt::white);
    QColor background = ColorAsset::blackAAA().color();
    background.setAlphaF(0.5f);
    activityIndicator_->setBackgroundColor(background);
    activityIndicator_->setCornerRadius(EKYCTheme::radius(12));
}

EKYCBaseViewControllerBase::~EKYCBaseViewControllerBase() = default;

EKYCBaseViewModel& EKYCBaseViewControllerBase::requireViewModel() const {
    if (!viewModel_) fatalError("Must invoke " + viewModelTypeName().toStdString(), "EKYCBaseViewController");
    return *viewModel_;
}

void EKYCBaseViewControllerBase::viewDidLoad() {
    ViewController::viewDidLoad();
    setupUI();
    bindViewModel();
    configure();
}

void EKYCBaseViewControllerBase::setupUI() {
    QPointer<EKYCBaseViewControllerBase> screen(this);
    navigationItem()->setLeftBarButtonItem(
        BarButtonItem{ImageAsset::image(QStringLiteral("ic_close")), QString(), [screen] {
                          if (screen) screen->didTapClose();
                      },
                      accessibleText("a11y.close")});
}

void EKYCBaseViewControllerBase::bindViewModel() {
    auto& viewModel = requireViewModel();
    QPointer<EKYCBaseViewControllerBase> screen(this);
    // Loading events may come from any thread; the overlay changes on the GUI thread.
    viewModel.loadingPublisher
        .sink([screen](bool loading) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [screen, loading] {
                    if (screen) screen->setLoading(loading);
                },
                Qt::QueuedConnection);
        })
        .store(subscriptions);
    viewModel.unAuthorizedPublisher
        .sink([screen](const std::optional<std::string>& message) {
            std::optional<QString> text;
            if (message) text = QString::fromStdString(*message);
            auto show = [screen, text] {
                if (screen) screen->showUnauthorizedAlert(text);
            };
            // Published on the GUI thread, it is shown at once; from another
            // thread it is carried over rather than touching widgets there.
            if (QThread::currentThread() == QCoreApplication::instance()->thread())
                show();
            else
                QMetaObject::invokeMethod(QCoreApplication::instance(), show, Qt::QueuedConnection);
        })
        .store(subscriptions);
}

void EKYCBaseViewControllerBase::configure() {
    if (viewModel_) viewModel_->onViewDidLoad();
}

void EKYCBaseViewControllerBase::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (viewModel_) viewModel_->onViewWillAppear();
}

void EKYCBaseViewControllerBase::viewDidAppear(bool animated) {
    ViewController::viewDidAppear(animated);
    if (const auto step = flowStep()) EKYCFlowReport::shared().reached(*step);
    if (viewModel_) viewModel_->onViewDidAppear();
}

void EKYCBaseViewControllerBase::viewWillDisappear(bool animated) {
    ViewController::viewWillDisappear(animated);
    if (viewModel_) viewModel_->onViewWillDisappear();
}

void EKYCBaseViewControllerBase::viewDidDisappear(bool animated) {
    ViewController::viewDidDisappear(animated);
    if (viewModel_) viewModel_->onViewDidDisappear();
}

void EKYCBaseViewControllerBase::setLoading(bool loading) {
    if (loading == isLoading_) return;
    isLoading_ = loading;
    if (loading)
        showLoading();
    else
        hideLoading();
}

void EKYCBaseViewControllerBase::showLoading() {
    overPlayLoading_->setGeometry(0, 0, width(), height());
    activityIndicator_->move(overPlayLoading_->rect().center() - activityIndicator_->rect().center());
    overPlayLoading_->show();
    overPlayLoading_->raise();
    overPlayLoading_->setFocus();
    activityIndicator_->startAnimating();
    // Only the spinner shows it: screen readers hear that the flow is busy.
    overPlayLoading_->announceBusy();
}

void EKYCBaseViewControllerBase::hideLoading() {
    activityIndicator_->stopAnimating();
    overPlayLoading_->hide();
}

void EKYCBaseViewControllerBase::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
    // The overlay follows the screen's size while it is shown.
    if (overPlayLoading_->isVisible()) {
        overPlayLoading_->setGeometry(0, 0, width(), height());
        activityIndicator_->move(overPlayLoading_->rect().center() - activityIndicator_->rect().center());
    }
}

void EKYCBaseViewControllerBase::didTapClose() {
    confirmClose();
}

void EKYCBaseViewControllerBase::confirmClose() {
    QPointer<EKYCBaseViewControllerBase> screen(this);
    auto* dialog = DialogBuilder()
                       .title(localizedText("common.noti"))
                       .message(localizedText("common.noti_warning"))
                       .addAction({localizedText("common.out"), AlertAction::Style::cancel},
                                  [screen](AlertController* alert) {
                                      alert->dismiss(true);
                                      EKYCUserDefault::clear();
                                      if (screen) screen->backToRoot();
                                  })
                       .addAction({localizedText("common.stay"), AlertAction::Style::defaultStyle},
                                  [](AlertController* alert) { alert->dismiss(true); })
                       .build();
    present(dialog, true);
}

void EKYCBaseViewControllerBase::backToRoot() {
    if (auto* navigation = navigationController()) navigation->popToRootViewController(true);
}

void EKYCBaseViewControllerBase::showUnauthorizedAlert(const std::optional<QString>& message) {
    QPointer<EKYCBaseViewControllerBase> screen(this);
    auto* alert =
        AlertBuilder()
            .image(ImageAsset::image(QStringLiteral("ic_disconnect")))
            .title(localizedText("common.noti"))
            .message(message.value_or(QString()))
            .action({QStringLiteral("OK"), AlertAction::Style::cancel},
                    [screen, message](AlertController* presented) {
                        presented->dismiss(true);
                        EKYCUserDefault::clear();
                        EKYCFlowReport::shared().sessionEnded(message.value_or(QString()).toStdString());
                        if (!screen) return;
                        // The whole flow closes from whichever screen is showing,
                        // a sheet over the form included.
                        if (auto* host = flowPresentation(screen)->presentingViewController())
                            host->dismiss(true);
                        else
                            screen->dismiss(true);
                    })
            .build();
    present(alert, true);
}

}  // namespace ovira

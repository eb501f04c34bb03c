#include "ovira/qt/OVIRAFlow.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

#include "sdk/EKYCApplication.h"
#include "sdk/EKYCFlowLauncher.h"
#include "sdk/EKYCFlowReport.h"
#include "sdk/EKYCUserDefault.h"
#include "ui/controller/ViewController.h"

namespace ovira {
namespace {

using Status = OVIRAPresentation::Status;

// Why the flow cannot be shown in `widget` now; nothing when it can.
std::optional<OVIRAPresentation> refusal(QWidget* widget) {
    auto* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread())
        return OVIRAPresentation{Status::notOnGuiThread,
                                 QStringLiteral("The flow can only be shown from the GUI thread.")};
    if (EKYCFlowReport::shared().isOpen())
        return OVIRAPresentation{
            Status::alreadyShowing,
            QStringLiteral("A flow is on screen already; it reports its outcome when it closes.")};
    if (!widget)
        return OVIRAPresentation{Status::noWidget,
                                 QStringLiteral("No widget was given to show the flow in.")};
    if (!widget->isVisible())
        return OVIRAPresentation{
            Status::notVisible,
            QStringLiteral("The widget \"%1\" is not visible; show it before the flow.")
                .arg(widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                    : widget->objectName())};
    return std::nullopt;
}

OVIRAPresentation show(QWidget* widget, ViewController* (*launch)(QWidget*)) {
    if (auto refused = refusal(widget)) return *refused;
    EKYCApplication().startSession();
    if (!launch(widget))
        return {Status::alreadyShowing,
                QStringLiteral("A flow is on screen already; it reports its outcome when it closes.")};
    return {};
}

}  // namespace

OVIRAPresentation OVIRAFlow::presentOver(QWidget* window) {
    return show(window, [](QWidget* widget) {
        return EKYCFlowLauncher::launchOver(
            EKYCFlowLauncher::topOf(EKYCFlowLauncher::screenOf(widget->window())));
    });
}

OVIRAPresentation OVIRAFlow::embedIn(QWidget* parent) {
    return show(parent, &EKYCFlowLauncher::launchInside);
}

bool OVIRAFlow::isShowing() {
    return EKYCFlowReport::shared().isOpen();
}

void OVIRAFlow::close() {
    auto* application = QCoreApplication::instance();
    if (!application) return;
    auto closeFlow = [] {
        auto* flow = EKYCFlowLauncher::currentFlow();
        if (!flow) return;
        // Leaving abandons the session, as the user's own ways out do.
        EKYCUserDefault::clear();
        if (auto* presenter = flow->presentingViewController())
            presenter->dismiss(true);
        else
            flow->deleteLater();
    };
    if (QThread::currentThread() == application->thread())
        closeFlow();
    else
        QMetaObject::invokeMethod(application, closeFlow, Qt::QueuedConnection);
}

}  // namespace ovira

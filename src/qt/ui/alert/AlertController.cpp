#include "ui/alert/AlertController.h"

#include <QPainter>

#include "resources/EKYCTheme.h"
#include "ui/alert/AlertAccessible.h"
#include "ui/alert/QXAlertViewController.h"
#include "ui/view/BackdropView.h"

namespace ovira {

AlertController::AlertController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("alertController"));
    setAttribute(Qt::WA_TranslucentBackground);
    setModalTransitionStyle(ModalTransitionStyle::crossDissolve);
    installAlertAccessibility();
}

bool AlertController::didPressEscape() {
    if (auto* alert = qobject_cast<QXAlertViewController*>(content_.data()); alert && alert->buttonAction->isVisible())
        alert->buttonAction->click();
    else
        dismiss(true);
    return true;
}

void AlertController::setContentViewController(ViewController* content) {
    if (content_) content_->deleteLater();
    content_ = content;
    if (!content_) return;
    content_->setParent(this);
    addChildViewController(content_);
    content_->setGeometry(rect());
    connect(content_, &ViewController::preferredContentSizeChanged, this, [this] {
        if (auto* controller = presentationController()) controller->containerViewDidLayoutSubviews();
    });
}

void AlertController::viewDidLoad() {
    if (content_) content_->loadViewIfNeeded();
}

void AlertController::viewWillAppear(bool animated) {
    if (content_) content_->beginAppearanceTransition(true, animated);
}

void AlertController::viewDidAppear(bool) {
    if (content_) content_->endAppearanceTransition();
}

void AlertController::viewWillDisappear(bool animated) {
    if (content_) content_->beginAppearanceTransition(false, animated);
}

void AlertController::viewDidDisappear(bool) {
    if (content_) content_->endAppearanceTransition();
}

void AlertController::resizeEvent(QResizeEvent*) {
    if (content_) content_->setGeometry(rect());
}

void AlertController::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const qreal radius = EKYCTheme::radius(16);
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
}

PresentationController* AlertController::makePresentationController(ViewController* presenting) {
    return new AlertPresentationController(this, presenting);
}

QRect AlertPresentationController::frameOfPresentedViewInContainerView() const {
    auto* container = containerView();
    auto* presented = presentedViewController();
    if (!container || !presented) return {};
    const int width =
        std::min(AlertController::maximumWidth, container->width() - 2 * AlertController::margin);
    int height = 0;
    if (auto* alert = qobject_cast<AlertController*>(presented); alert && alert->contentViewController()) {
        auto* content = alert->contentViewController();
        content->loadViewIfNeeded();
        height = content->hasHeightForWidth() ? content->heightForWidth(width)
                                              : content->preferredContentSize().height();
    }
    if (height <= 0) height = presented->sizeHint().height();
    height = std::min(height, container->height() - 2 * AlertController::margin);
    return QRect((container->width() - width) / 2, (container->height() - height) / 2, width, height);
}

void AlertPresentationController::presentationTransitionWillBegin() {
    if (auto* container = containerView()) {
        dimming_ = new BackdropView(QColor(0, 0, 0), container);
        dimming_->show();
        dimming_->lower();
    }
}

void AlertPresentationController::applyProgress(double progress) {
    PresentationController::applyProgress(progress);
    if (auto* dimming = static_cast<BackdropView*>(dimming_.data())) dimming->setAlpha(dimmedAlpha * progress);
}

}  // namespace ovira

#include "ui/alert/AlertController.h"

#include <QPainter>
#include <algorithm>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "ui/view/AccessibleInterfaces.h"
#include "ui/view/ViewStyle.h"

namespace ovira {
namespace {

// Default style: white title on the theme's primary colour; any other: that
// colour on white, outlined so that the button shows on the white card. A
// capsule, squarer if the theme's buttons are, never rounder.
void styleButton(QPushButton* button, AlertAction::Style style, int height) {
    const int radius = std::min(height / 2, EKYCTheme::pixelRadius(height / 2));
    const bool filled = style == AlertAction::Style::defaultStyle;
    const QColor blue = ColorAsset::primary().color();
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid %3;"
                       " border-radius: %4px; padding: 0 12px; }"
                       "QPushButton:pressed { background: %5; }")
            .arg(filled ? blue.name() : QStringLiteral("#FFFFFF"), filled ? QStringLiteral("#FFFFFF") : blue.name(),
                 blue.name())
            .arg(radius)
            .arg(filled ? blue.darker(115).name() : EKYCTheme::primaryTint().name()));
    button->setFont(systemFont(16, QFont::Medium));
    button->setCursor(Qt::PointingHandCursor);
    button->setFixedHeight(height);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setAutoDefault(true);  // Enter presses the focused button, as Space does
}

}  // namespace

AlertController::AlertController(AlertContent content, int buttonHeight, int bottomMargin, QWidget* parent)
    : ViewController(parent) {
    setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setModalTransitionStyle(ModalTransitionStyle::crossDissolve);
    installAccessibleInterfaces();
    QMargins margins = rootLayout->contentsMargins();
    margins.setBottom(bottomMargin);
    rootLayout->setContentsMargins(margins);

    imageView->setVisible(!content.image.isNull());
    if (!content.image.isNull()) {
        imageView->setPixmap(content.image.pixmap(QSize(72, 72), devicePixelRatioF()));
        imageView->setAccessibleName(accessibleText("a11y.alert_image"));
    }
    labelTitle->setText(content.title);
    labelTitle->setFont(boldSystemFont(16));
    setTextColor(labelTitle, ColorAsset::blackAAA().color());
    labelMessage->setText(content.message);
    labelMessage->setFont(systemFont(14));
    labelMessage->setVisible(!content.message.isEmpty());
    setTextColor(labelMessage, ColorAsset::secondText().color());
    // The alert is read out by its title and message as it shows.
    setAccessibleName(content.title);
    setAccessibleDescription(content.message);

    stackViewAction->setVisible(!content.actions.empty());
    for (auto& [action, handler] : content.actions) {
        auto* button = new QPushButton(action.title, stackViewAction);
        styleButton(button, action.style, buttonHeight);
        stackViewAction->layout()->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, style = action.style, handler = std::move(handler)] {
            // The handler may dismiss the alert, which then goes at the next turn of the event loop.
            QPointer<AlertController> alert(this);
            if (handler) handler(this);
            if (alert && style == AlertAction::Style::cancel) alert->dismiss(true);
        });
    }
}

bool AlertController::didPressEscape() {
    dismiss(true);
    return true;
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
    auto* presented = presentedViewController();
    if (!presented) return {};
    const int w = std::min(AlertController::maximumWidth, width() - 2 * AlertController::margin);
    const int h = std::min(presented->heightForWidth(w), height() - 2 * AlertController::margin);
    return QRect((width() - w) / 2, (height() - h) / 2, w, h);
}

void AlertPresentationController::applyProgress(double progress) {
    PresentationController::applyProgress(progress);
    setDimming(Qt::black, dimmedAlpha * progress);
}

}  // namespace ovira

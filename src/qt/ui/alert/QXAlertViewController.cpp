#include "ui/alert/QXAlertViewController.h"

#include <QEvent>
#include <QLayout>

#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "ui/alert/AlertButtonStyle.h"
#include "ui/alert/AlertController.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

QXAlertViewController::QXAlertViewController(QWidget* parent) : ViewController(parent) {
    setupUi(this);
}

void QXAlertViewController::viewDidLoad() {
    labelTitle->setText(QString());
    labelTitle->setFont(boldSystemFont(16));
    setTextColor(labelTitle, ColorAsset::blackAAA().color());
    labelMessage->setText(QString());
    labelMessage->setFont(systemFont(14));
    setTextColor(labelMessage, ColorAsset::secondText().color());
    connect(buttonAction, &QPushButton::clicked, this, &QXAlertViewController::didTapAction);
    if (!builder) return;

    const bool hasImage = builder->_image && !builder->_image->isNull();
    imageView->setVisible(hasImage);
    if (auto* spacer = stackViewContent->layout()->itemAt(1)->spacerItem())
        spacer->changeSize(0, hasImage ? 8 : 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    if (hasImage) imageView->setPixmap(builder->_image->pixmap(QSize(72, 72), devicePixelRatioF()));
    imageView->setAccessibleName(hasImage ? accessibleText("a11y.alert_image") : QString());
    labelTitle->setText(builder->_title.value_or(QString()));
    labelMessage->setText(builder->_message.value_or(QString()));
    // The alert is read out by its title and message as it shows.
    setAccessibleName(labelTitle->text());
    setAccessibleDescription(labelMessage->text());
    labelMessage->setVisible(!labelMessage->text().isEmpty());

    if (!builder->_action) {
        buttonAction->hide();
        if (auto* spacer = stackViewContent->layout()->itemAt(4)->spacerItem())
            spacer->changeSize(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    } else {
        buttonAction->show();
        buttonAction->setText(builder->_action->title);
        styleAlertButton(buttonAction, builder->_action->style, 24);
    }
    stackViewContent->layout()->invalidate();
}

void QXAlertViewController::didTapAction() {
    QPointer<AlertController> alert = alertController;
    if (!alert || !builder) return;
    // The handler may dismiss the alert and so end this screen; keep what
    // is needed afterwards.
    const auto action = builder->_action;
    if (builder->_actionHandler) builder->_actionHandler(alert);
    if (alert && action && action->style == AlertAction::Style::cancel) alert->dismiss(true);
}

int QXAlertViewController::heightForWidth(int width) const {
    const QMargins margins = layout()->contentsMargins();
    const int inner = width - margins.left() - margins.right();
    auto* content = stackViewContent->layout();
    const int contentHeight = content->hasHeightForWidth() ? content->totalHeightForWidth(inner)
                                                           : content->totalSizeHint().height();
    return margins.top() + contentHeight + 16;
}

bool QXAlertViewController::event(QEvent* event) {
    const bool handled = ViewController::event(event);
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize)
        setPreferredContentSize(QSize(width(), heightForWidth(width())));
    return handled;
}

}  // namespace ovira

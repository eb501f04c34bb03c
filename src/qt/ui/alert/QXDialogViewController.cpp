#include "ui/alert/QXDialogViewController.h"

#include <QEvent>
#include <QLayout>
#include <cstdio>

#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "ui/alert/AlertButtonStyle.h"
#include "ui/alert/AlertController.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

QXDialogViewController::QXDialogViewController(QWidget* parent) : ViewController(parent) {
    setupUi(this);
}

QXDialogViewController::~QXDialogViewController() {
    std::printf("QXDialogViewController deinit\n");
    std::fflush(stdout);
}

void QXDialogViewController::viewDidLoad() {
    labelTitle->setText(QString());
    labelTitle->setFont(boldSystemFont(16));
    setTextColor(labelTitle, ColorAsset::blackAAA().color());
    labelMessage->setText(QString());
    labelMessage->setFont(systemFont(14));
    setTextColor(labelMessage, ColorAsset::secondText().color());
    if (!builder) return;
    labelTitle->setText(builder->_title.value_or(QString()));
    labelMessage->setText(builder->_message.value_or(QString()));
    // The alert is read out by its title and message as it shows.
    setAccessibleName(labelTitle->text());
    setAccessibleDescription(labelMessage->text());

    auto* row = stackViewAction->layout();
    auto* gap = stackViewContent->layout()->itemAt(2)->spacerItem();
    if (builder->_actions.empty()) {
        stackViewAction->hide();
        if (gap) gap->changeSize(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
        stackViewContent->layout()->invalidate();
        return;
    }
    stackViewAction->show();
    while (QLayoutItem* item = row->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (std::size_t i = 0; i < builder->_actions.size(); ++i) {
        const auto& entry = builder->_actions[i];
        auto* button = new QPushButton(entry.action.title, stackViewAction);
        button->setObjectName(QStringLiteral("action%1").arg(i));
        button->setProperty("tag", static_cast<int>(i));
        button->setFixedHeight(44);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        styleAlertButton(button, entry.action.style, 22);
        connect(button, &QPushButton::clicked, this, [this, i] { didTapAction(static_cast<int>(i)); });
        row->addWidget(button);
    }
    stackViewContent->layout()->invalidate();
}

QList<QPushButton*> QXDialogViewController::actionButtons() const {
    QList<QPushButton*> buttons;
    for (int i = 0; i < stackViewAction->layout()->count(); ++i)
        if (auto* button = qobject_cast<QPushButton*>(stackViewAction->layout()->itemAt(i)->widget()))
            buttons.append(button);
    return buttons;
}

void QXDialogViewController::didTapAction(int index) {
    QPointer<AlertController> dialog = alertController;
    if (!dialog || !builder || index < 0 || index >= static_cast<int>(builder->_actions.size())) return;
    const auto entry = builder->_actions[static_cast<std::size_t>(index)];
    if (entry.handler) entry.handler(dialog);
    if (dialog && entry.action.style == AlertAction::Style::cancel) dialog->dismiss(true);
}

int QXDialogViewController::heightForWidth(int width) const {
    const QMargins margins = layout()->contentsMargins();
    const int inner = width - margins.left() - margins.right();
    auto* content = stackViewContent->layout();
    const int contentHeight = content->hasHeightForWidth() ? content->totalHeightForWidth(inner)
                                                           : content->totalSizeHint().height();
    return margins.top() + contentHeight + 24;
}

bool QXDialogViewController::event(QEvent* event) {
    const bool handled = ViewController::event(event);
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize)
        setPreferredContentSize(QSize(width(), heightForWidth(width())));
    return handled;
}

}  // namespace ovira

#include "ui/view/ViewStyle.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QWidget>

namespace ovira {

void setTextColor(QWidget* view, const QColor& color) {
    QPalette palette = view->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::WindowText, color);
        palette.setColor(group, QPalette::Text, color);
    }
    view->setPalette(palette);
}

void setPlaceholderColor(QWidget* view, const QColor& color) {
    QPalette palette = view->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::PlaceholderText, color);
    view->setPalette(palette);
}

void setBackgroundColor(QWidget* view, const QColor& color) {
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, color);
    view->setPalette(palette);
}

void styleFilledButton(QPushButton* button, const QColor& background, const QColor& title, int cornerRadius,
                       const QColor& disabledBackground, const QColor& disabledTitle) {
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; color: %2; border: none; border-radius: %3px;"
                       " padding: 0 16px; }"
                       "QPushButton:pressed { background: %4; }"
                       "QPushButton:disabled { background: %5; color: %6; }")
            .arg(background.name(QColor::HexArgb), title.name(QColor::HexArgb))
            .arg(cornerRadius)
            .arg(background.darker(112).name(QColor::HexArgb), disabledBackground.name(QColor::HexArgb),
                 disabledTitle.name(QColor::HexArgb)));
    button->setCursor(Qt::PointingHandCursor);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, background);
    palette.setColor(QPalette::ButtonText, title);
    palette.setColor(QPalette::Disabled, QPalette::Button, disabledBackground);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabledTitle);
    button->setPalette(palette);
}

void styleTextButton(QAbstractButton* button, const QColor& title) {
    button->setStyleSheet(
        QStringLiteral("QAbstractButton { background: transparent; border: none; color: %1; }")
            .arg(title.name(QColor::HexArgb)));
    button->setCursor(Qt::PointingHandCursor);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, title);
    button->setPalette(palette);
}

}  // namespace ovira

#include "ui/alert/AlertButtonStyle.h"

#include <QPushButton>
#include <algorithm>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"

namespace ovira {

QColor alertActionBlue() {
    return ColorAsset::primary().color();
}

void styleAlertButton(QPushButton* button, AlertAction::Style style, int cornerRadius) {
    cornerRadius = std::min(cornerRadius, EKYCTheme::pixelRadius(cornerRadius));
    const bool filled = style == AlertAction::Style::defaultStyle;
    const QString blue = alertActionBlue().name();
    // The stylesheet draws the rounded shape smoothly; an outline keeps the
    // white button visible on the white card.
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid %3;"
                       " border-radius: %4px; padding: 0 12px; }"
                       "QPushButton:pressed { background: %5; }")
            .arg(filled ? blue : QStringLiteral("#FFFFFF"), filled ? QStringLiteral("#FFFFFF") : blue, blue)
            .arg(cornerRadius)
            .arg(filled ? alertActionBlue().darker(115).name() : EKYCTheme::primaryTint().name()));
    button->setFont(systemFont(16, QFont::Medium));
    button->setCursor(Qt::PointingHandCursor);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, filled ? alertActionBlue() : QColor(Qt::white));
    palette.setColor(QPalette::ButtonText, filled ? QColor(Qt::white) : alertActionBlue());
    button->setPalette(palette);
}

}  // namespace ovira

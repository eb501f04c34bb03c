#pragma once

#include <QColor>

#include "ui/alert/AlertAction.h"

class QPushButton;

namespace ovira {

// The action blue of alert and dialog buttons.
inline QColor alertActionBlue() {
    return QColor(15, 128, 236);
}

// Default style: white title on blue; any other: blue title on white.
void styleAlertButton(QPushButton* button, AlertAction::Style style, int cornerRadius);

}  // namespace ovira

#pragma once

#include <QColor>

#include "ui/alert/AlertAction.h"

class QPushButton;

namespace ovira {

// The action blue of alert and dialog buttons: the theme's primary colour.
QColor alertActionBlue();

// Default style: white title on blue; any other: blue title on white.
// `cornerRadius` is the radius of the library's own look (a capsule); a
// theme with squarer buttons makes it squarer, never rounder than that.
void styleAlertButton(QPushButton* button, AlertAction::Style style, int cornerRadius);

}  // namespace ovira

#pragma once

#include <QColor>

class QAbstractButton;
class QPushButton;
class QWidget;

namespace ovira {

// Small colour settings that widgets spread over palette roles.

// The colour of a label's or a text box's text.
void setTextColor(QWidget* view, const QColor& color);
// The colour of a text box's placeholder, instead of the half-transparent
// text colour a style sheet would give it (too faint to read on light fields).
void setPlaceholderColor(QWidget* view, const QColor& color);
// A plain background filled with `color`.
void setBackgroundColor(QWidget* view, const QColor& color);

// A filled button with rounded corners: `title` on `background`, and the
// disabled colours while it is disabled. Pressing darkens it slightly.
void styleFilledButton(QPushButton* button, const QColor& background, const QColor& title, int cornerRadius,
                       const QColor& disabledBackground, const QColor& disabledTitle);
// A button drawn as its title (and icon) only.
void styleTextButton(QAbstractButton* button, const QColor& title);

}  // namespace ovira

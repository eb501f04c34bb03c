#pragma once

#include <QString>
#include <QWidget>
#include <algorithm>

class QPushButton;

namespace ovira {

// The widest the content of the flow's screens of text, rows and buttons
// may be: on a wider window (a desktop, a kiosk, a tablet) the content keeps
// this width, centred, while the screen's background fills the window
// (ViewController::setMaximumContentWidth). The capture screens lay out
// their own geometry for any window and do not use it.
inline constexpr int readableContentWidth = 600;

// The height the design gave a widget (a row, a header, a bar, a button)
// becomes the least it takes: larger text makes it taller rather than
// cutting the text off.
inline void letHeightGrow(QWidget* widget) {
    widget->setMaximumHeight(QWIDGETSIZE_MAX);
}

// The height `widget` takes at `width`: what its wrapping text needs there,
// else its preferred height; never less than its least height.
inline int heightAtWidth(const QWidget* widget, int width) {
    const int preferred = widget->hasHeightForWidth() ? widget->heightForWidth(width) : widget->sizeHint().height();
    return std::max(widget->minimumHeight(), preferred);
}

// Shows `text` on `button`, broken into lines at spaces wherever one line
// would not fit the button's width (a button does not wrap its text by
// itself), now and whenever the button's width changes: a long title at a
// large text size makes the button taller instead of running off it. The
// button takes the width its layout gives it; screen readers read the text
// whole.
void setWrappingText(QPushButton* button, const QString& text);

}  // namespace ovira

#pragma once

#include <QColor>
#include <QWidget>
#include <optional>
#include <vector>

#include "ui/view/ViewCorner.h"

namespace ovira {

// Corner radius and border of any view, set from code or from an interface
// description (the dynamic properties "fCornerRadius", "fBorderWidth" and
// "fBorderColor" of a widget in a .ui file are applied by applyViewProperties).

qreal fCornerRadius(const QWidget* view);
// -1 makes a circle or a pill: half the smaller side. Clips the view.
void setFCornerRadius(QWidget* view, qreal radius);
qreal fBorderWidth(const QWidget* view);
void setFBorderWidth(QWidget* view, qreal width);
std::optional<QColor> fBorderColor(const QWidget* view);
void setFBorderColor(QWidget* view, std::optional<QColor> color);

// Applies the f* dynamic properties of the widget and its descendants.
void applyViewProperties(QWidget* root);

// Rounds the listed corners (all four when the list is empty).
void roundCorners(QWidget* view, const std::vector<ViewCorner>& corners, qreal radius);

}  // namespace ovira

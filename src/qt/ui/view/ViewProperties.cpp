#include "ui/view/ViewProperties.h"

#include <algorithm>

#include "resources/EKYCTheme.h"
#include "ui/view/ViewLayer.h"

namespace ovira {

qreal fCornerRadius(const QWidget* view) {
    const auto* layer = ViewLayer::find(view);
    return layer ? layer->cornerRadius() : 0;
}

void setFCornerRadius(QWidget* view, qreal radius) {
    auto* layer = ViewLayer::of(view);
    layer->setCornerRadius(radius == -1 ? std::min(view->width(), view->height()) / 2.0 : radius);
    layer->setMasksToBounds(true);
}

qreal fBorderWidth(const QWidget* view) {
    const auto* layer = ViewLayer::find(view);
    return layer ? layer->borderWidth() : 0;
}

void setFBorderWidth(QWidget* view, qreal width) {
    auto* layer = ViewLayer::of(view);
    layer->setBorderWidth(width);
    layer->setMasksToBounds(true);
}

std::optional<QColor> fBorderColor(const QWidget* view) {
    const auto* layer = ViewLayer::find(view);
    return layer ? layer->borderColor() : std::nullopt;
}

void setFBorderColor(QWidget* view, std::optional<QColor> color) {
    auto* layer = ViewLayer::of(view);
    layer->setBorderColor(color);
    layer->setMasksToBounds(true);
}

void applyViewProperties(QWidget* root) {
    QList<QWidget*> views = root->findChildren<QWidget*>();
    views.prepend(root);
    for (QWidget* view : views) {
        // Radii in a description are those of the library's own look; the
        // theme makes them rounder or squarer alike. -1 stays a circle.
        if (const QVariant radius = view->property("fCornerRadius"); radius.isValid())
            setFCornerRadius(view, radius.toDouble() == -1 ? -1 : EKYCTheme::radius(radius.toDouble()));
        if (const QVariant width = view->property("fBorderWidth"); width.isValid())
            setFBorderWidth(view, width.toDouble());
        if (const QVariant color = view->property("fBorderColor"); color.isValid())
            setFBorderColor(view, color.value<QColor>());
    }
}

void roundCorners(QWidget* view, const std::vector<ViewCorner>& corners, qreal radius) {
    auto* layer = ViewLayer::of(view);
    layer->setMaskedCorners(corners.empty() ? allCorners : cornerMask(corners));
    layer->setCornerRadius(radius);
}

}  // namespace ovira

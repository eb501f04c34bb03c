#pragma once

#include <QColor>
#include <QObject>
#include <QPainterPath>
#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <optional>

#include "ui/view/ViewCorner.h"

namespace ovira {

// The drawing attributes that a widget lacks and a layer of a phone toolkit
// has: rounded (chosen) corners, a border and clipping to the rounded
// shape. Created on first use as a child of its widget; widgets that paint
// their own background read it to round it smoothly.
class ViewLayer : public QObject {
    Q_OBJECT
public:
    static ViewLayer* of(QWidget* view);
    // The layer if the widget has one.
    static const ViewLayer* find(const QWidget* view);

    qreal cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(qreal radius);
    CornerMask maskedCorners() const { return maskedCorners_; }
    void setMaskedCorners(CornerMask corners);
    qreal borderWidth() const { return borderWidth_; }
    void setBorderWidth(qreal width);
    std::optional<QColor> borderColor() const { return borderColor_; }
    void setBorderColor(std::optional<QColor> color);
    bool masksToBounds() const { return masksToBounds_; }
    void setMasksToBounds(bool masks);

    // The rounded outline of `rect` with this layer's radius and corners.
    QPainterPath shape(const QRectF& rect) const;
    static QPainterPath roundedPath(const QRectF& rect, qreal radius, CornerMask corners);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ViewLayer(QWidget* view);
    void update();

    QWidget* view_;
    QPointer<QWidget> border_;
    qreal cornerRadius_ = 0;
    CornerMask maskedCorners_ = allCorners;
    qreal borderWidth_ = 0;
    std::optional<QColor> borderColor_;
    bool masksToBounds_ = false;
};

}  // namespace ovira

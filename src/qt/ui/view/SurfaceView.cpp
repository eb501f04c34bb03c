#include "ui/view/SurfaceView.h"

#include <QPainter>

#include "ui/view/ViewLayer.h"

namespace ovira {

SurfaceView::SurfaceView(QWidget* parent) : QWidget(parent) {
    setProperty("roundsItself", true);
}

void SurfaceView::setBackgroundColor(const QColor& color) {
    background_ = color;
    update();
}

void SurfaceView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(background_);
    const auto* layer = ViewLayer::find(this);
    painter.drawPath(layer ? layer->shape(QRectF(rect()))
                           : ViewLayer::roundedPath(QRectF(rect()), 0, allCorners));
}

}  // namespace ovira

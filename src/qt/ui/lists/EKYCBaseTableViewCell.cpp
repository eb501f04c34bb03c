#include "ui/lists/EKYCBaseTableViewCell.h"

#include <QMouseEvent>
#include <QPainter>

#include "resources/HexColor.h"

namespace ovira {

EKYCBaseTableViewCell::EKYCBaseTableViewCell(QWidget* parent)
    : QWidget(parent), selectedColor(colorFromHex(u"E9ECF7")) {
    setAttribute(Qt::WA_StyledBackground);
}

void EKYCBaseTableViewCell::mousePressEvent(QMouseEvent* event) {
    pressed_ = isEnableHighlight && event->button() == Qt::LeftButton;
    update();
    event->setAccepted(pressed_);
}

void EKYCBaseTableViewCell::mouseReleaseEvent(QMouseEvent* event) {
    event->setAccepted(pressed_);
    pressed_ = false;
    update();
}

void EKYCBaseTableViewCell::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (pressed_) QPainter(this).fillRect(rect(), selectedColor);
}

}  // namespace ovira

#include "ui/view/BackdropView.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace ovira {

BackdropView::BackdropView(QColor color, QWidget* parent) : QWidget(parent), color_(color) {
    setObjectName(QStringLiteral("backdropView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (parent) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
}

void BackdropView::setAlpha(qreal alpha) {
    alpha_ = std::clamp<qreal>(alpha, 0, 1);
    update();
}

void BackdropView::paintEvent(QPaintEvent*) {
    QColor color = color_;
    color.setAlphaF(static_cast<float>(color_.alphaF() * alpha_));
    QPainter(this).fillRect(rect(), color);
}

bool BackdropView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
}

}  // namespace ovira

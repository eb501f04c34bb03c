#include "ui/view/ActivityIndicatorView.h"

#include <QPainter>

namespace ovira {
namespace {
constexpr int kSpokes = 12;
}

ActivityIndicatorView::ActivityIndicatorView(QWidget* parent) : QWidget(parent) {
    spinner_.setInterval(1000 / kSpokes);
    connect(&spinner_, &QTimer::timeout, this, [this] {
        phase_ = (phase_ + 1) % kSpokes;
        update();
    });
    hide();
}

void ActivityIndicatorView::startAnimating() {
    show();
    if (!spinner_.isActive()) spinner_.start();
}

void ActivityIndicatorView::stopAnimating() {
    spinner_.stop();
    hide();
}

void ActivityIndicatorView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(background_);
    painter.drawRoundedRect(QRectF(rect()), cornerRadius_, cornerRadius_);
    painter.translate(rect().center() + QPointF(0.5, 0.5));
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the phase is brightest; the others fade behind it.
        const int age = (phase_ - i + kSpokes) % kSpokes;
        QColor color = color_;
        color.setAlphaF(static_cast<float>(color_.alphaF() * (1.0 - age * 0.07)));
        painter.setPen(QPen(color, 3.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -9), QPointF(0, -18));
        painter.rotate(360.0 / kSpokes);
    }
}

}  // namespace ovira

#include "ui/view/ActivityIndicatorView.h"

#include <QPainter>
#include <QVariantAnimation>

namespace ovira {
namespace {
constexpr int kSpokes = 12;
}

ActivityIndicatorView::ActivityIndicatorView(Style style, QWidget* parent)
    : QWidget(parent), style_(style), spinner_(new QVariantAnimation(this)) {
    setObjectName(QStringLiteral("activityIndicator"));
    setAttribute(Qt::WA_TranslucentBackground);
    spinner_->setStartValue(0);
    spinner_->setEndValue(kSpokes);
    spinner_->setDuration(1000);
    spinner_->setLoopCount(-1);
    connect(spinner_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        if (value.toInt() % kSpokes == phase_) return;
        phase_ = value.toInt() % kSpokes;
        update();
    });
    hide();
}

void ActivityIndicatorView::setColor(const QColor& color) {
    color_ = color;
    update();
}

void ActivityIndicatorView::setBackgroundColor(const QColor& color) {
    background_ = color;
    update();
}

void ActivityIndicatorView::setCornerRadius(qreal radius) {
    cornerRadius_ = radius;
    update();
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides) {
    hidesWhenStopped_ = hides;
    setVisible(animating_ || !hidesWhenStopped_);
}

void ActivityIndicatorView::startAnimating() {
    if (animating_) return;
    animating_ = true;
    show();
    spinner_->start();
}

void ActivityIndicatorView::stopAnimating() {
    if (!animating_) return;
    animating_ = false;
    spinner_->stop();
    if (hidesWhenStopped_) hide();
}

void ActivityIndicatorView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (background_.alpha() > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(background_);
        painter.drawRoundedRect(QRectF(rect()), cornerRadius_, cornerRadius_);
    }
    const qreal outer = style_ == Style::large ? 18 : 10;
    const qreal inner = outer * 0.5;
    const qreal thickness = style_ == Style::large ? 3.5 : 2.2;
    painter.translate(rect().center() + QPointF(0.5, 0.5));
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the phase is brightest; the others fade behind it.
        const int age = (phase_ - i + kSpokes) % kSpokes;
        QColor color = color_;
        color.setAlphaF(static_cast<float>(color_.alphaF() * (1.0 - age * 0.07)));
        painter.setPen(QPen(color, thickness, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -inner), QPointF(0, -outer));
        painter.rotate(360.0 / kSpokes);
    }
}

}  // namespace ovira

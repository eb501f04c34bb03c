#include "capture/CameraFlipTransition.h"

#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include "ui/animation/ViewAnimation.h"

namespace ovira {
namespace {

// Covers the view while it turns: the old picture for the first half, then
// the view as it is at the half-way point.
class FlipCover : public QWidget {
public:
    FlipCover(QWidget* view, FlipDirection direction)
        : QWidget(view), view_(view), sign_(direction == FlipDirection::fromLeft ? 1 : -1) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(view->rect());
        picture_ = view->grab();
    }

    void setProgress(double progress) {
        if (progress >= 0.5 && !turned_) {
            turned_ = true;
            hide();
            picture_ = view_->grab();
            show();
        }
        progress_ = progress;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        const double angle = (progress_ < 0.5 ? progress_ : progress_ - 1) * 180 * sign_;
        const QPointF centre = QRectF(rect()).center();
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(angle, Qt::YAxis);
        turn.translate(-centre.x(), -centre.y());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setTransform(turn);
        painter.drawPixmap(rect(), picture_);
    }

private:
    QPointer<QWidget> view_;
    int sign_;
    QPixmap picture_;
    double progress_ = 0;
    bool turned_ = false;
};

}  // namespace

void runCameraFlip(QWidget* view, FlipDirection direction, double duration) {
    if (!view || !view->isVisible() || view->rect().isEmpty() || !ViewAnimation::areAnimationsEnabled())
        return;
    auto* cover = new FlipCover(view, direction);
    cover->show();
    cover->raise();
    auto* animation = new QVariantAnimation(cover);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(static_cast<int>(duration * 1000));
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    QObject::connect(animation, &QVariantAnimation::valueChanged, cover,
                     [cover](const QVariant& value) { cover->setProgress(value.toDouble()); });
    QObject::connect(animation, &QVariantAnimation::finished, cover, &QObject::deleteLater);
    animation->start();
}

}  // namespace ovira

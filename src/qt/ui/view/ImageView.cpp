#include "ui/view/ImageView.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "ui/view/AccessibleInterfaces.h"

namespace ovira {

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    installAccessibleInterfaces();
}

void ImageView::setImage(const EKYCImage& image) {
    image_ = image;
    photo_ = QImage();
    updateGeometry();
    update();
}

void ImageView::setPhoto(const QImage& photo) {
    photo_ = photo;
    image_ = EKYCImage();
    updateGeometry();
    update();
}

void ImageView::clear() {
    image_ = EKYCImage();
    photo_ = QImage();
    update();
}

void ImageView::setContentMode(ContentMode mode) {
    mode_ = mode;
    update();
}

void ImageView::setCornerRadius(qreal radius) {
    radius_ = radius;
    update();
}

QSizeF ImageView::naturalSize() const {
    if (!photo_.isNull()) return QSizeF(photo_.size());
    if (!image_.isNull()) return image_.size();
    return {};
}

int ImageView::heightForWidth(int width) const {
    const QSizeF natural = naturalSize();
    if (natural.isEmpty()) return QWidget::heightForWidth(width);
    return static_cast<int>(std::lround(width * natural.height() / natural.width()));
}

QRectF ImageView::pictureRect() const {
    const QSizeF natural = naturalSize();
    const QRectF bounds(rect());
    if (natural.isEmpty() || bounds.isEmpty()) return {};
    QSizeF size = natural;
    switch (mode_) {
        case ContentMode::scaleAspectFit:
            size.scale(bounds.size(), Qt::KeepAspectRatio);
            break;
        case ContentMode::scaleAspectFill:
            size.scale(bounds.size(), Qt::KeepAspectRatioByExpanding);
            break;
        case ContentMode::center:
            break;
    }
    QRectF target(QPointF(), size);
    target.moveCenter(bounds.center());
    return target;
}

void ImageView::paintEvent(QPaintEvent*) {
    const QRectF target = pictureRect();
    if (target.isEmpty()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()).intersected(target), radius_, radius_);
    painter.setClipPath(clip);
    if (!photo_.isNull())
        painter.drawImage(target, photo_);
    else
        image_.paint(painter, target);
}

}  // namespace ovira

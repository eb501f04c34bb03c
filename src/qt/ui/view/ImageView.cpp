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

void ImageView::setPicture(const EKYCImage& image, const QImage& photo) {
    image_ = image;
    photo_ = photo;
    updateGeometry();
    update();
}

int ImageView::heightForWidth(int width) const {
    const QSizeF natural = naturalSize();
    if (natural.isEmpty()) return QWidget::heightForWidth(width);
    return static_cast<int>(std::lround(width * natural.height() / natural.width()));
}

void ImageView::paintEvent(QPaintEvent*) {
    QSizeF size = naturalSize();
    if (size.isEmpty() || rect().isEmpty()) return;
    if (mode_ != ContentMode::center)
        size.scale(QSizeF(this->size()),
                   mode_ == ContentMode::scaleAspectFit ? Qt::KeepAspectRatio : Qt::KeepAspectRatioByExpanding);
    QRectF target(QPointF(), size);
    target.moveCenter(QRectF(rect()).center());
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

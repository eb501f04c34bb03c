#include "capture/EKYCCameraPreviewLayer.h"

#include <QPainter>

#include "capture/EKYCCaptureGeometry.h"

namespace ovira {

void EKYCCameraPreviewLayer::setFrame(const QRectF& frame) {
    if (frame == frame_) return;
    frame_ = frame;
    Q_EMIT contentChanged();
}

void EKYCCameraPreviewLayer::setImage(const QImage& image) {
    image_ = image;
    Q_EMIT contentChanged();
}

void EKYCCameraPreviewLayer::setMirrored(bool mirrored) {
    if (mirrored == mirrored_) return;
    mirrored_ = mirrored;
    Q_EMIT contentChanged();
}

QRectF EKYCCameraPreviewLayer::videoRect() const {
    if (image_.isNull()) return {};
    const capture::Rect fit = capture::aspectFitRect({double(image_.width()), double(image_.height())},
                                                     {frame_.width(), frame_.height()});
    return QRectF(frame_.x() + fit.x, frame_.y() + fit.y, fit.width, fit.height);
}

void EKYCCameraPreviewLayer::paint(QPainter& painter) const {
    painter.fillRect(frame_, Qt::black);
    const QRectF target = videoRect();
    if (target.isEmpty()) return;
    painter.save();
    painter.setClipRect(frame_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (mirrored_) {
        painter.translate(target.center().x(), 0);
        painter.scale(-1, 1);
        painter.translate(-target.center().x(), 0);
    }
    painter.drawImage(target, image_);
    painter.restore();
}

}  // namespace ovira

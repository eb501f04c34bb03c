#include "capture/EKYCCameraPreviewLayer.h"

#include <QPainter>

namespace ovira {
namespace {

capture::Rect local(const QRectF& rect, const QPointF& origin) {
    if (rect.isEmpty()) return {};
    return {rect.x() - origin.x(), rect.y() - origin.y(), rect.width(), rect.height()};
}

QRectF placed(const capture::Rect& rect, const QPointF& origin) {
    if (rect.isEmpty()) return {};
    return {origin.x() + rect.x, origin.y() + rect.y, rect.width, rect.height};
}

}  // namespace

void EKYCCameraPreviewLayer::setFrame(const QRectF& frame) {
    if (frame == frame_) return;
    frame_ = frame;
    Q_EMIT geometryChanged();
    Q_EMIT contentChanged();
}

void EKYCCameraPreviewLayer::setImage(const QImage& image) {
    const bool resized = image.size() != image_.size();
    image_ = image;
    if (resized) Q_EMIT geometryChanged();
    Q_EMIT contentChanged();
}

void EKYCCameraPreviewLayer::setMirrored(bool mirrored) {
    if (mirrored == mirrored_) return;
    mirrored_ = mirrored;
    Q_EMIT contentChanged();
}

void EKYCCameraPreviewLayer::setVideoGravity(capture::VideoGravity gravity) {
    if (gravity == gravity_) return;
    gravity_ = gravity;
    Q_EMIT geometryChanged();
    Q_EMIT contentChanged();
}

void EKYCCameraPreviewLayer::setControlsFreeArea(const QRectF& band) {
    if (band == freeArea_) return;
    freeArea_ = band;
    Q_EMIT geometryChanged();
}

capture::PreviewMapping EKYCCameraPreviewLayer::mapping() const {
    return {{frame_.width(), frame_.height()},
            {double(image_.width()), double(image_.height())},
            gravity_,
            mirrored_};
}

capture::WindowLayout EKYCCameraPreviewLayer::windowLayout() const {
    const capture::PreviewMapping shown = mapping();
    return {shown.view, local(freeArea_, frame_.topLeft()), capture::videoRect(shown)};
}

QRectF EKYCCameraPreviewLayer::cardWindow() const {
    return placed(capture::cardWindow(windowLayout()), frame_.topLeft());
}

QRectF EKYCCameraPreviewLayer::faceSquare() const {
    return placed(capture::faceSquare(windowLayout()), frame_.topLeft());
}

QRectF EKYCCameraPreviewLayer::videoRect() const {
    return placed(capture::videoRect(mapping()), frame_.topLeft());
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

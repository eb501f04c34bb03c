#include "resources/SvgIconEngine.h"

#include <QPainter>
#include <QSvgRenderer>

namespace ovira {

SvgIconEngine::SvgIconEngine(std::shared_ptr<QSvgRenderer> renderer) : renderer_(std::move(renderer)) {}

void SvgIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) {
    painter->save();
    if (mode == QIcon::Disabled) painter->setOpacity(painter->opacity() * 0.4);
    const QSize size = actualSize(rect.size(), mode, QIcon::Off);
    const QRectF target(rect.x() + (rect.width() - size.width()) / 2.0,
                        rect.y() + (rect.height() - size.height()) / 2.0, size.width(), size.height());
    renderer_->render(painter, target);
    painter->restore();
}

QPixmap SvgIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap SvgIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) {
    QPixmap pixmap(size * scale);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(&painter, QRect(QPoint(), size * scale), mode, state);
    }
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QSize SvgIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    const QSize natural = renderer_->defaultSize();
    if (natural.isEmpty()) return size;
    return natural.scaled(size, Qt::KeepAspectRatio);
}

QList<QSize> SvgIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
    return {renderer_->defaultSize()};
}

QIconEngine* SvgIconEngine::clone() const {
    return new SvgIconEngine(renderer_);
}

}  // namespace ovira

#include "resources/EKYCImage.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

#include "platform/FatalError.h"
#include "resources/ResourceBundle.h"
#include "resources/SvgIconEngine.h"

namespace ovira {

EKYCImage::EKYCImage(QString name, std::shared_ptr<QSvgRenderer> renderer)
    : name_(std::move(name)), renderer_(std::move(renderer)) {}

QSizeF EKYCImage::size() const {
    return renderer_ ? QSizeF(renderer_->defaultSize()) : QSizeF();
}

void EKYCImage::paint(QPainter& painter, const QRectF& target) const {
    if (renderer_) renderer_->render(&painter, target);
}

QPixmap EKYCImage::pixmap(const QSize& size, qreal devicePixelRatio) const {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    if (renderer_) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer_->render(&painter, QRectF(QPointF(), QSizeF(pixmap.size())));
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon EKYCImage::icon() const {
    return renderer_ ? QIcon(new SvgIconEngine(renderer_)) : QIcon();
}

EKYCImage ImageAsset::image(const QString& name) {
    // Parsed once per name; images are used on the GUI thread only.
    static QHash<QString, std::shared_ptr<QSvgRenderer>> cache;
    auto renderer = cache.value(name);
    if (!renderer) {
        QFile file(ResourceBundle::imagePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            renderer = std::make_shared<QSvgRenderer>(file.readAll());
            if (!renderer->isValid()) renderer.reset();
        }
        if (!renderer) fatalError("Unable to load image asset named " + name.toStdString() + ".", "Images");
        cache.insert(name, renderer);
    }
    return EKYCImage(name, renderer);
}

}  // namespace ovira

#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>

class QPainter;
class QSvgRenderer;

namespace ovira {

// An image of the library. The artwork is vector, so it is drawn afresh for
// every size and device-pixel ratio and stays crisp on high-density screens.
class EKYCImage {
public:
    EKYCImage() = default;  // the null image
    EKYCImage(QString name, std::shared_ptr<QSvgRenderer> renderer);

    bool isNull() const { return !renderer_; }
    const QString& name() const { return name_; }
    // The natural size, in points.
    QSizeF size() const;

    void paint(QPainter& painter, const QRectF& target) const;
    // A pixmap of `size` points at the given pixel ratio.
    QPixmap pixmap(const QSize& size, qreal devicePixelRatio) const;
    // An icon that renders at whatever size and ratio a widget asks for.
    QIcon icon() const;

private:
    QString name_;
    std::shared_ptr<QSvgRenderer> renderer_;
};

// The images of the library's resource bundle, by name.
class ImageAsset {
public:
    // The image named exactly `name` (spaces included). Stops the library
    // with "Unable to load image asset named <name>." when there is none.
    // GUI thread.
    static EKYCImage image(const QString& name);

    ImageAsset() = delete;
};

}  // namespace ovira

#include "platform/QImageAdapter.h"

#include <QBuffer>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace ovira {
namespace {

std::optional<Data> encoded(const QImage& image, const char* format, int quality) {
    if (image.isNull()) return std::nullopt;
    QImage source = image;
    source.setDevicePixelRatio(1);
    // JPEG has no alpha: flatten onto white rather than let transparent
    // pixels turn black.
    if (std::strcmp(format, "JPEG") == 0 && source.hasAlphaChannel()) {
        QImage flat(source.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, source);
        painter.end();
        source = flat;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!source.save(&buffer, format, quality)) return std::nullopt;
    const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    return Data(begin, begin + bytes.size());
}

}  // namespace

std::optional<Data> QImageAdapter::jpegData(double quality) const {
    const int q = static_cast<int>(std::clamp(quality, 0.0, 1.0) * 100 + 0.5);
    return encoded(image_, "JPEG", q);
}

std::optional<Data> QImageAdapter::pngData() const {
    return encoded(image_, "PNG", -1);
}

QImage qImageOf(const Image& image) {
    if (const auto* adapter = dynamic_cast<const QImageAdapter*>(&image)) return adapter->image();
    if (const auto* raster = dynamic_cast<const RasterImage*>(&image)) {
        if (raster->isEmpty()) return {};
        QImage::Format format = QImage::Format_RGB888;
        switch (raster->format()) {
            case RasterImage::Format::gray:
                format = QImage::Format_Grayscale8;
                break;
            case RasterImage::Format::rgb:
                format = QImage::Format_RGB888;
                break;
            case RasterImage::Format::rgba:
                format = QImage::Format_RGBA8888;
                break;
        }
        const int stride = raster->width() * RasterImage::channels(raster->format());
        return QImage(raster->pixels().data(), raster->width(), raster->height(), stride, format).copy();
    }
    const auto png = image.pngData();
    if (!png) return {};
    return QImage::fromData(png->data(), static_cast<int>(png->size()), "PNG");
}

QImage qImageOf(const ImagePtr& image) { return image ? qImageOf(*image) : QImage(); }

std::shared_ptr<const RasterImage> rasterFromQImage(const QImage& image) {
    if (image.isNull()) return nullptr;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int rowBytes = rgb.width() * 3;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(rowBytes) * rgb.height());
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(pixels.data() + static_cast<std::size_t>(y) * rowBytes, rgb.constScanLine(y), rowBytes);
    return std::make_shared<RasterImage>(rgb.width(), rgb.height(), RasterImage::Format::rgb,
                                         std::move(pixels));
}

}  // namespace ovira

#include "resources/ImageConversion.h"

#include <cstring>

#include "platform/RasterImage.h"

namespace ovira {

QImage toQImage(const Image& image) {
    if (image.isEmpty()) return {};
    if (const auto* raster = dynamic_cast<const RasterImage*>(&image)) {
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
        const auto rowBytes =
            static_cast<qsizetype>(raster->width()) * RasterImage::channels(raster->format());
        // The wrapper does not own the pixels: copy before the raster can go.
        return QImage(raster->pixels().data(), raster->width(), raster->height(), rowBytes, format).copy();
    }
    const auto png = image.pngData();
    if (!png) return {};
    QImage decoded;
    decoded.loadFromData(png->data(), static_cast<int>(png->size()), "PNG");
    return decoded;
}

QImage toQImage(const ImagePtr& image) {
    return image ? toQImage(*image) : QImage();
}

ImagePtr imageFromQImage(const QImage& image) {
    if (image.isNull()) return nullptr;
    const bool alpha = image.hasAlphaChannel();
    const QImage source = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const auto format = alpha ? RasterImage::Format::rgba : RasterImage::Format::rgb;
    const auto rowBytes = static_cast<std::size_t>(source.width()) * RasterImage::channels(format);
    std::vector<std::uint8_t> pixels(rowBytes * static_cast<std::size_t>(source.height()));
    for (int y = 0; y < source.height(); ++y)
        std::memcpy(pixels.data() + rowBytes * static_cast<std::size_t>(y), source.constScanLine(y),
                    rowBytes);
    return std::make_shared<RasterImage>(source.width(), source.height(), format, std::move(pixels));
}

}  // namespace ovira

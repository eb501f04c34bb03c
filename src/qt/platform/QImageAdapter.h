#pragma once

#include <QImage>
#include <memory>

#include "platform/Image.h"
#include "platform/RasterImage.h"

namespace ovira {

// A Qt image as a photograph the core can store and upload. Sizes are in
// pixels. Immutable: QImage shares its pixels, so copies are cheap and the
// adapter may cross threads.
class QImageAdapter final : public Image {
public:
    explicit QImageAdapter(QImage image) : image_(std::move(image)) {}

    static ImagePtr make(QImage image) { return std::make_shared<QImageAdapter>(std::move(image)); }

    const QImage& image() const { return image_; }
    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    std::optional<Data> jpegData(double quality) const override;
    std::optional<Data> pngData() const override;

private:
    QImage image_;
};

// The Qt image of a photograph: direct for an adapter, converted otherwise;
// null when the photograph cannot be had as pixels.
QImage qImageOf(const Image& image);
QImage qImageOf(const ImagePtr& image);

// A frame's pixels as the core's image (RGB), for the face detector.
std::shared_ptr<const RasterImage> rasterFromQImage(const QImage& image);

}  // namespace ovira

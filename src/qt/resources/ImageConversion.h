#pragma once

#include <QImage>

#include "platform/Image.h"

namespace ovira {

// The core's photographs and Qt's images meet here. Sizes are in pixels.

// The photograph's pixels as a Qt image: copied from a raster image, decoded
// from its PNG otherwise; null when it has none.
QImage toQImage(const Image& image);
QImage toQImage(const ImagePtr& image);

// A Qt image as a photograph of the core (RGB, or RGBA when it has alpha);
// null for a null image.
ImagePtr imageFromQImage(const QImage& image);

}  // namespace ovira

#pragma once

#include <memory>
#include <optional>

#include "ovira/Data.h"

namespace ovira {

// A photograph as the core sees it: something that can say its size and
// encode itself. The core implements it over plain pixels (RasterImage); the
// UI layer adapts its own image type. Immutable and shareable across threads.
class Image {
public:
    virtual ~Image() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;
    bool isEmpty() const { return width() <= 0 || height() <= 0; }

    // JPEG at `quality` in [0, 1] (values outside are clamped); nothing when
    // the image cannot be encoded (an empty image, for one).
    virtual std::optional<Data> jpegData(double quality) const = 0;
    // Lossless PNG; nothing when the image cannot be encoded.
    virtual std::optional<Data> pngData() const = 0;
};

using ImagePtr = std::shared_ptr<const Image>;

}  // namespace ovira

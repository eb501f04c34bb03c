#pragma once

#include <cstddef>
#include <cstdint>

#include "capture/EKYCCaptureGeometry.h"
#include "platform/RasterImage.h"

namespace ovira::vision {

// How a picture's bytes lie in memory, one pixel after another.
enum class PixelOrder { gray, rgb, bgr, rgba, bgra };

// A picture borrowed from whoever holds it (a camera frame, a QImage).
struct PixelBuffer {
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t bytesPerLine = 0;
    PixelOrder order = PixelOrder::rgb;
};

// The part of `picture` under `crop` (pixels; edges rounded to whole pixels,
// clipped to the picture) scaled by averaging pixel areas and then turned
// `quarterTurns` clockwise quarter turns, to `width` x `height` (the size
// after turning), as RGB. Only the small result is converted, turned and
// copied, so a 12-megapixel still costs little more than one pass over the
// cropped part. Empty when nothing is left to crop or the buffer does not
// describe a picture.
RasterImage cropAndScale(const PixelBuffer& picture, const capture::Rect& crop, int width, int height,
                         int quarterTurns = 0);

// The crop's edges as cropAndScale() rounds and clips them; empty when
// nothing is left.
capture::Rect wholePixels(const capture::Rect& crop, int pictureWidth, int pictureHeight);

}  // namespace ovira::vision

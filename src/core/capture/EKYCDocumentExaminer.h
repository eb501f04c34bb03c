#pragma once

#include <array>

#include "capture/EKYCCaptureGeometry.h"
#include "platform/RasterImage.h"

namespace ovira {

// What one look at a document shows, in the examined image's pixels.
struct EKYCDocumentMeasures {
    // A quadrilateral with a card's proportions (perspective and rounded
    // corners allowed) lies in the window.
    bool found = false;
    // Its corners, clockwise from the top left; zero when none was found.
    std::array<capture::Point, 4> corners{};
    // The card's width over the window's width; 0 when none was found.
    double fill = 0;
    // Variance of the Laplacian of the grey levels over the window, measured
    // at most 1000 pixels wide.
    double sharpness = 0;
    // Over the window: mean grey level (0..255), and the shares of pixels at
    // 250 or above (burnt) and at 5 or below (black).
    double brightness = 0;
    double burntShare = 0;
    double blackShare = 0;
    // The share of the card's own pixels washed out (grey 250 or above); over
    // the window when no card was found.
    double glare = 0;
};

// Measures a document in a camera frame or a photograph. One image at a
// time per examiner; any thread.
class EKYCDocumentExaminer {
public:
    virtual ~EKYCDocumentExaminer() = default;
    // `window`: the part of `image` the card should fill (the card window in
    // a live frame; the whole photograph for a still). Clipped to the image;
    // an empty window or image measures nothing (all zero).
    virtual EKYCDocumentMeasures examine(const RasterImage& image, const capture::Rect& window) = 0;
};

}  // namespace ovira

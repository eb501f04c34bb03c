#pragma once

#include <memory>

#include "capture/EKYCDocumentExaminer.h"

namespace ovira::vision {

// The document examiner on OpenCV, for ID-1 cards (identity cards, driving
// licences; a passport's photo page has nearly their proportions).
//
// The light and the sharpness are measured on the window's grey levels the
// way the development service measures a photograph, so that a whole-image
// window gives the service's own figures. The card's outline is looked for
// in the window and a margin of a tenth of its size around it (a card a
// little larger than the window is still found), on a copy shrunk to
// `outlineWidth` pixels: edges are found, thickened so that the card's
// border closes into one ring, and the outermost rings that are convex
// quadrilaterals, large enough, with a card's proportions and nearly
// rectangular are candidates; the largest wins. Its corners are where lines
// fitted to the straight middle parts of its sides meet, so that rounded
// corners do not pull them in. A card that reaches past the margin shows no
// closed ring and is not found.
//
// Never throws: an image OpenCV cannot handle measures nothing.
class EKYCCardExaminer final : public EKYCDocumentExaminer {
public:
    // The width (pixels) of the copy the outline is looked for in.
    static constexpr int outlineWidth = 320;
    // The margin around the window searched for the outline, as a share of
    // the window's width and height on each side.
    static constexpr double searchMargin = 0.1;
    // An outline counts when its area is at least this share of the window's.
    static constexpr double minAreaShare = 0.15;
    // ...and its proportions within this share of a card's.
    static constexpr double aspectTolerance = 0.25;
    // ...and it fills at least this share of its minimum-area rectangle.
    static constexpr double minRectangularity = 0.85;

    EKYCDocumentMeasures examine(const RasterImage& image, const capture::Rect& window) noexcept override;
};

// The library's document examiner.
std::unique_ptr<EKYCDocumentExaminer> makeDefaultDocumentExaminer();

}  // namespace ovira::vision

#include "capture/EKYCCaptureGeometry.h"

#include <algorithm>

namespace ovira::capture {

namespace {

Rect centred(Size outer, double width, double height) {
    return {(outer.width - width) * 0.5, (outer.height - height) * 0.5, width, height};
}

Rect clipped(const Rect& rect, Size bounds) {
    const double x = std::max(0.0, rect.x), y = std::max(0.0, rect.y);
    const double right = std::min(bounds.width, rect.right()),
                 bottom = std::min(bounds.height, rect.bottom());
    if (right <= x || bottom <= y) return {};
    return {x, y, right - x, bottom - y};
}

}  // namespace

Rect cardWindow(Size view) {
    const double width = view.width * cardWidthRatio;
    return centred(view, width, width * cardAspectRatio);
}

double cardCornerRadius(Size view) {
    return view.width * cardWidthRatio * cardWidthToCornerRatio;
}

Rect faceSquare(Size view) {
    const double side = std::max(0.0, view.width - faceCircleInset);
    return centred(view, side, side);
}

Rect cardCrop(Size image) {
    const double across = image.width * cardWidthRatio;
    return clipped(centred(image, across, across * cardAspectRatio), image);
}

Rect faceCrop(Size image) {
    const double across = image.width * cardWidthRatio;
    return clipped(centred(image, across, across), image);
}

Size cardOutputSize(Size view) {
    const double width = view.width * cardWidthRatio;
    return {width, width * cardAspectRatio};
}

Size faceOutputSize() {
    return {faceOutputSide, faceOutputSide};
}

Rect aspectFitRect(Size frame, Size view) {
    if (frame.width <= 0 || frame.height <= 0) return {};
    const double scale = std::min(view.width / frame.width, view.height / frame.height);
    return centred(view, frame.width * scale, frame.height * scale);
}

Rect frameToView(const Rect& inFrame, Size frame, Size view, bool mirrored) {
    const Rect shown = aspectFitRect(frame, view);
    if (shown.isEmpty()) return {};
    const double scale = shown.width / frame.width;
    const double x = mirrored ? frame.width - inFrame.right() : inFrame.x;
    return {shown.x + x * scale, shown.y + inFrame.y * scale, inFrame.width * scale, inFrame.height * scale};
}

bool isFaceInside(const Rect& face, Size view) {
    return faceSquare(view).contains(face);
}

}  // namespace ovira::capture

#include "capture/EKYCCaptureGeometry.h"

#include <algorithm>
#include <cmath>

namespace ovira::capture {

namespace {

Rect centred(Size outer, double width, double height) {
    return {(outer.width - width) * 0.5, (outer.height - height) * 0.5, width, height};
}

Rect bounds(Size size) {
    return {0, 0, size.width, size.height};
}

// Centred in the view where it fits there, else moved the least into `area`.
Rect placed(Size view, const Rect& area, double width, double height) {
    if (width <= 0 || height <= 0) return {};
    const Rect middle = centred(view, width, height);
    return {std::clamp(middle.x, area.x, std::max(area.x, area.right() - width)),
            std::clamp(middle.y, area.y, std::max(area.y, area.bottom() - height)), width, height};
}

// The frame's scale in the view, or 0 when there is nothing to show.
double scaleOf(const PreviewMapping& preview) {
    if (preview.frame.isEmpty() || preview.view.isEmpty()) return 0;
    const double across = preview.view.width / preview.frame.width;
    const double down = preview.view.height / preview.frame.height;
    return preview.gravity == VideoGravity::aspectFill ? std::max(across, down) : std::min(across, down);
}

int normalTurns(int quarterTurns) {
    return ((quarterTurns % 4) + 4) % 4;
}

}  // namespace

Rect intersected(const Rect& a, const Rect& b) {
    const double x = std::max(a.x, b.x), y = std::max(a.y, b.y);
    const double right = std::min(a.right(), b.right()), bottom = std::min(a.bottom(), b.bottom());
    if (right <= x || bottom <= y) return {};
    return {x, y, right - x, bottom - y};
}

Rect videoRect(const PreviewMapping& preview) {
    const double scale = scaleOf(preview);
    if (scale <= 0) return {};
    return centred(preview.view, preview.frame.width * scale, preview.frame.height * scale);
}

Rect frameToView(const Rect& inFrame, const PreviewMapping& preview) {
    const double scale = scaleOf(preview);
    if (scale <= 0) return {};
    const Rect shown = videoRect(preview);
    const double x = preview.mirrored ? preview.frame.width - inFrame.right() : inFrame.x;
    return {shown.x + x * scale, shown.y + inFrame.y * scale, inFrame.width * scale, inFrame.height * scale};
}

Rect viewToFrame(const Rect& inView, const PreviewMapping& preview) {
    const double scale = scaleOf(preview);
    if (scale <= 0) return {};
    const Rect shown = videoRect(preview);
    const double width = inView.width / scale;
    double x = (inView.x - shown.x) / scale;
    if (preview.mirrored) x = preview.frame.width - (x + width);
    return {x, (inView.y - shown.y) / scale, width, inView.height / scale};
}

Rect WindowLayout::area() const {
    const Rect whole = bounds(view);
    Rect picture = video.isEmpty() ? whole : intersected(whole, video);
    if (picture.isEmpty()) picture = whole;
    if (free.isEmpty()) return picture;
    const Rect band{free.x, free.y + controlsGap, free.width, free.height - 2 * controlsGap};
    const Rect clear = intersected(picture, band);
    // A window too small for its controls still shows a frame, under them.
    return clear.isEmpty() ? picture : clear;
}

Rect cardWindow(const WindowLayout& layout) {
    const Rect area = layout.area();
    const double width = std::min(area.width * cardWidthRatio, area.height / cardAspectRatio);
    return placed(layout.view, area, width, width * cardAspectRatio);
}

Rect faceSquare(const WindowLayout& layout) {
    const Rect area = layout.area();
    const double side = std::min(area.width - faceCircleInset, area.height);
    return placed(layout.view, area, side, side);
}

Rect cardWindow(Size view) {
    return cardWindow(WindowLayout{view, {}, {}});
}

Rect faceSquare(Size view) {
    return faceSquare(WindowLayout{view, {}, {}});
}

double cardCornerRadius(const Rect& cardWindow) {
    return cardWindow.width * cardWidthToCornerRatio;
}

bool isFaceInside(const Rect& face, const Rect& square) {
    return !square.isEmpty() && square.contains(face);
}

Rect stillRegion(const Rect& window, const PreviewMapping& preview, Size still) {
    if (still.isEmpty() || window.isEmpty()) return {};
    PreviewMapping shown = preview;
    if (shown.frame.isEmpty()) shown.frame = still;
    const Rect inFrame = viewToFrame(window, shown);
    if (inFrame.isEmpty()) return {};
    // The frame shows the still's scene cut to the frame's proportions
    // around the centre.
    const double across = std::min(still.width, still.height * shown.frame.width / shown.frame.height);
    const double scale = across / shown.frame.width;
    const Rect scene = centred(still, across, shown.frame.height * scale);
    const Rect region{scene.x + inFrame.x * scale, scene.y + inFrame.y * scale, inFrame.width * scale,
                      inFrame.height * scale};
    return intersected(region, bounds(still));
}

Size turned(Size size, int quarterTurns) {
    return normalTurns(quarterTurns) % 2 ? Size{size.height, size.width} : size;
}

Rect uprightToArrived(const Rect& r, Size upright, int quarterTurns) {
    switch (normalTurns(quarterTurns)) {
        case 1:  // arrived turned a quarter anticlockwise
            return {r.y, upright.width - r.right(), r.height, r.width};
        case 2:
            return {upright.width - r.right(), upright.height - r.bottom(), r.width, r.height};
        case 3:  // arrived turned a quarter clockwise
            return {upright.height - r.bottom(), r.x, r.height, r.width};
        default:
            return r;
    }
}

Size photographSize(Size crop, int maxLongSide) {
    if (crop.isEmpty()) return {};
    const double longSide = std::max(crop.width, crop.height);
    const double scale = longSide > maxLongSide ? maxLongSide / longSide : 1.0;
    return {std::max(1.0, std::round(crop.width * scale)), std::max(1.0, std::round(crop.height * scale))};
}

}  // namespace ovira::capture

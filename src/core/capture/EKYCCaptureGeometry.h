#pragma once

namespace ovira {

// The frame the user aligns a document or a face with. The overlay draws it,
// the camera crops the photograph to it and the face check tests against it,
// so all three take it from here. Lengths are in points (view) or pixels
// (photographs), as each function says.
namespace capture {

// Height over width of an ID-1 card (53.98 mm by 85.6 mm).
inline constexpr double cardAspectRatio = 0.630607476635514;
// The card window's width, and the crop's extent across the photograph, as a
// share of the view's width.
inline constexpr double cardWidthRatio = 0.9;
// The card window's corner radius as a share of its width.
inline constexpr double cardWidthToCornerRatio = 0.035;
// The face circle's diameter is the view's width less this.
inline constexpr double faceCircleInset = 88;
// The face photograph's side, in points.
inline constexpr double faceOutputSide = 720;

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool isEmpty() const { return width <= 0 || height <= 0; }
    // Whether `inner` lies entirely inside (edges may touch).
    bool contains(const Rect& inner) const {
        return inner.x >= x && inner.y >= y && inner.right() <= right() && inner.bottom() <= bottom();
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The card window, centred in a view of `view` points.
Rect cardWindow(Size view);
double cardCornerRadius(Size view);
// The square around the face circle, centred in the view.
Rect faceSquare(Size view);

// The part of an upright photograph of `image` pixels that lies under the
// window: 0.9 of its width across, centred; as tall as a card (card) or as
// wide (face). Clipped to the photograph.
Rect cardCrop(Size image);
Rect faceCrop(Size image);
// The size, in points, that a cropped photograph is drawn at.
Size cardOutputSize(Size view);
Size faceOutputSize();

// Where a frame of `frame` pixels appears in a view that shows it whole,
// scaled to fit and centred (letter-boxed).
Rect aspectFitRect(Size frame, Size view);
// A rectangle in frame pixels mapped to view points through that fit;
// `mirrored` for a preview shown as in a mirror (the front camera).
Rect frameToView(const Rect& inFrame, Size frame, Size view, bool mirrored = false);

// Whether a face found at `face` (view points) lies inside the circle's square.
bool isFaceInside(const Rect& face, Size view);

}  // namespace capture
}  // namespace ovira

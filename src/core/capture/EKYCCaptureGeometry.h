#pragma once

namespace ovira {

// The frame the user aligns a document or a face with. The overlay draws it,
// the camera crops the photograph to it and the face check tests against it,
// so all three take it from here. Lengths are in points (view) or pixels
// (camera frames and photographs), as each function says.
//
// The window is the largest that fits the part of the preview left free by
// the controls over it and covered by the camera's picture; on a portrait
// phone that is 0.9 of the view's width for the card and the width less 88
// points for the face circle, centred in the view. Photographs keep the
// camera's own pixels under the window: never enlarged, reduced only above a
// cap.
namespace capture {

// Height over width of an ID-1 card (53.98 mm by 85.6 mm).
inline constexpr double cardAspectRatio = 0.630607476635514;
// The card window's largest width as a share of the picture's width.
inline constexpr double cardWidthRatio = 0.9;
// The card window's corner radius as a share of its width.
inline constexpr double cardWidthToCornerRatio = 0.035;
// The face circle's largest diameter is the picture's width less this.
inline constexpr double faceCircleInset = 88;
// Space kept between the window and the controls above and below it.
inline constexpr double controlsGap = 12;

// Photographs are reduced only above these (pixels on the long side).
inline constexpr int cardMaxLongSide = 2048;
inline constexpr int faceMaxSide = 1024;
// Below these the camera gives too few pixels for a good photograph: an ID-1
// card at 300 dots per inch, and the face photograph of a phone.
inline constexpr int cardReadableWidth = 1011;
inline constexpr int faceReadableSide = 720;

struct Size {
    double width = 0;
    double height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const Size&, const Size&) = default;
};

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
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

// The part of both; empty when they do not overlap.
Rect intersected(const Rect& a, const Rect& b);

// How the preview scales a camera frame into its view: whole and
// letter-boxed (fit), or covering the view and cut at two edges (fill).
enum class VideoGravity { aspectFit, aspectFill };

// What the preview shows and how: the view (points), the camera frames on
// show (pixels; empty before the first), the gravity, and whether it is
// shown as in a mirror (the front camera).
struct PreviewMapping {
    Size view;
    Size frame;
    VideoGravity gravity = VideoGravity::aspectFit;
    bool mirrored = false;
};

// Where the frame lands in the view (it overflows the view when filling);
// empty without a frame.
Rect videoRect(const PreviewMapping& preview);
// A rectangle in frame pixels as it appears in the view, and back. Both
// empty without a frame.
Rect frameToView(const Rect& inFrame, const PreviewMapping& preview);
Rect viewToFrame(const Rect& inView, const PreviewMapping& preview);

// Where the window may go: the view, less what the controls cover above and
// below (`free`: the band between them, in view points; empty when not
// known), less the letter-box bands the picture leaves (`video`: the
// picture's place; empty before the first frame).
struct WindowLayout {
    Size view;
    Rect free;
    Rect video;

    // The view's bounds within both, with controlsGap kept from the controls.
    Rect area() const;
};

// The card window and the square around the face circle.
Rect cardWindow(const WindowLayout& layout);
Rect faceSquare(const WindowLayout& layout);
// The window of a bare view (no controls, no picture yet).
Rect cardWindow(Size view);
Rect faceSquare(Size view);
double cardCornerRadius(const Rect& cardWindow);

// Whether a face shown at `face` (view points) lies inside the circle's square.
bool isFaceInside(const Rect& face, const Rect& square);

// The part of a still of `still` pixels (upright) under `window` (view
// points) on the preview described by `preview`. The preview's frames show
// the still's scene cut to their own proportions around the centre, as
// cameras make video frames from their sensor; without a frame the preview
// is taken to show the still itself. Clipped to the still.
Rect stillRegion(const Rect& window, const PreviewMapping& preview, Size still);

// `size` turned by `quarterTurns` clockwise quarter turns.
Size turned(Size size, int quarterTurns);
// A rectangle of the upright picture (of `upright` size) in the pixels of
// the same picture as it arrives, before the `quarterTurns` clockwise quarter
// turns that make it upright.
Rect uprightToArrived(const Rect& inUpright, Size upright, int quarterTurns);

// The photograph's pixel size for a crop of `crop` pixels: the crop's own
// size (never enlarged), reduced to `maxLongSide` on its long side when larger.
Size photographSize(Size crop, int maxLongSide);

}  // namespace capture
}  // namespace ovira

#include "vision/EKYCCardExaminer.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

namespace ovira::vision {

namespace {

// The grey levels counted as burnt (at or above) and as black (at or below).
constexpr int kBurnt = 250;
constexpr int kBlack = 5;
// Sharpness is measured on the window shrunk to at most this width.
constexpr int kSharpnessWidth = 1000;
// Pixels the thickening adds around every edge of the shrunk copy.
constexpr int kThickening = 2;
// The share at each end of a side left out when fitting its line: the
// rounded corners lie there.
constexpr double kSideEnd = 0.2;

// `rect` in whole pixels, clipped to an image of `width` x `height`; empty
// when nothing is left (or the rectangle is not made of finite numbers).
cv::Rect wholePixels(const capture::Rect& rect, int width, int height) {
    if (!std::isfinite(rect.x) || !std::isfinite(rect.y) || !std::isfinite(rect.width) ||
        !std::isfinite(rect.height))
        return {};
    const capture::Rect clipped = capture::intersected(rect, {0, 0, double(width), double(height)});
    if (clipped.isEmpty()) return {};
    const int left = std::clamp(static_cast<int>(std::lround(clipped.x)), 0, width);
    const int top = std::clamp(static_cast<int>(std::lround(clipped.y)), 0, height);
    const int right = std::clamp(static_cast<int>(std::lround(clipped.right())), 0, width);
    const int bottom = std::clamp(static_cast<int>(std::lround(clipped.bottom())), 0, height);
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

// The grey levels of `region` of the image, by cvtColor: OpenCV's weights
// for grey (0.299 red, 0.587 green, 0.114 blue), which its image decoders
// share, though a decoder may round a level apart. A grey image's region is
// borrowed, not copied.
cv::Mat greyRegion(const RasterImage& image, const cv::Rect& region) {
    auto* data = const_cast<std::uint8_t*>(image.pixels().data());  // only read
    cv::Mat grey;
    switch (image.format()) {
        case RasterImage::Format::gray:
            return cv::Mat(image.height(), image.width(), CV_8UC1, data)(region);
        case RasterImage::Format::rgb:
            cv::cvtColor(cv::Mat(image.height(), image.width(), CV_8UC3, data)(region), grey,
                         cv::COLOR_RGB2GRAY);
            break;
        case RasterImage::Format::rgba:
            cv::cvtColor(cv::Mat(image.height(), image.width(), CV_8UC4, data)(region), grey,
                         cv::COLOR_RGBA2GRAY);
            break;
    }
    return grey;
}

// Mean grey level and the shares of burnt and black pixels, in one pass.
void measureLight(const cv::Mat& grey, EKYCDocumentMeasures& measures) {
    std::uint64_t sum = 0, burnt = 0, black = 0;
    for (int y = 0; y < grey.rows; ++y) {
        const std::uint8_t* row = grey.ptr<std::uint8_t>(y);
        std::uint32_t rowSum = 0, rowBurnt = 0, rowBlack = 0;
        for (int x = 0; x < grey.cols; ++x) {
            const std::uint32_t level = row[x];
            rowSum += level;
            rowBurnt += level >= kBurnt ? 1u : 0u;
            rowBlack += level <= kBlack ? 1u : 0u;
        }
        sum += rowSum, burnt += rowBurnt, black += rowBlack;
    }
    const double total = static_cast<double>(grey.total());
    measures.brightness = static_cast<double>(sum) / total;
    measures.burntShare = static_cast<double>(burnt) / total;
    measures.blackShare = static_cast<double>(black) / total;
}

// The variance of the Laplacian (OpenCV's, of aperture 1: the four
// neighbours less four times the pixel, edges mirrored without repeating
// the edge pixel), on the grey levels shrunk to at most kSharpnessWidth by
// averaging pixel areas. The window is taken on its own, as if it were a
// photograph cut to it. Summed in integers in one pass: the same figure as
// cv::Laplacian into doubles followed by cv::meanStdDev, at a fraction of
// the time once the compiler vectorises the loop.
double sharpnessOf(const cv::Mat& grey) {
    cv::Mat measured = grey;
    if (grey.cols > kSharpnessWidth) {
        const double scale = static_cast<double>(kSharpnessWidth) / grey.cols;
        cv::resize(grey, measured,
                   cv::Size(kSharpnessWidth, std::max(1, static_cast<int>(std::lround(grey.rows * scale)))),
                   0, 0, cv::INTER_AREA);
    }
    const int rows = measured.rows, cols = measured.cols;
    const auto mirrored = [](int i, int length) {
        if (i < 0) return length > 1 ? 1 : 0;
        if (i >= length) return length > 1 ? length - 2 : 0;
        return i;
    };
    std::int64_t sum = 0;
    std::uint64_t squares = 0;
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* above = measured.ptr<std::uint8_t>(mirrored(y - 1, rows));
        const std::uint8_t* row = measured.ptr<std::uint8_t>(y);
        const std::uint8_t* below = measured.ptr<std::uint8_t>(mirrored(y + 1, rows));
        const auto laplacian = [&](int x) {
            return int(above[x]) + below[x] + row[mirrored(x - 1, cols)] + row[mirrored(x + 1, cols)] -
                   4 * row[x];
        };
        // At most 1000 values of at most 1020 in size: a row's sums fit 32 bits.
        std::int32_t rowSum = 0;
        std::uint32_t rowSquares = 0;
        for (int x = 1; x < cols - 1; ++x) {
            const std::int32_t value = int(above[x]) + below[x] + row[x - 1] + row[x + 1] - 4 * row[x];
            rowSum += value;
            rowSquares += static_cast<std::uint32_t>(value * value);
        }
        for (int x = 0; x < cols; x += std::max(1, cols - 1)) {  // the first and last columns
            const std::int32_t value = laplacian(x);
            rowSum += value;
            rowSquares += static_cast<std::uint32_t>(value * value);
        }
        sum += rowSum;
        squares += rowSquares;
    }
    const double count = static_cast<double>(measured.total());
    const double mean = static_cast<double>(sum) / count;
    return std::max(0.0, static_cast<double>(squares) / count - mean * mean);
}

struct Line {
    cv::Point2d point;
    cv::Point2d direction;  // of unit length
};

double cross(const cv::Point2d& a, const cv::Point2d& b) {
    return a.x * b.y - a.y * b.x;
}

// Where two lines meet; nothing when they are too close to parallel to tell.
std::optional<cv::Point2d> meet(const Line& a, const Line& b) {
    const double sine = cross(a.direction, b.direction);
    if (std::abs(sine) < 0.3) return std::nullopt;  // sides of a card meet at far more than 17 degrees
    return a.point + a.direction * (cross(b.point - a.point, b.direction) / sine);
}

// The corners of a ring whose outline `approximation` approximates (four
// points in the contour's order): lines are fitted to the middle of each
// side, moved inwards by the thickening, and met. Nothing when a side has
// too few points or two sides do not meet.
std::optional<std::array<cv::Point2d, 4>> fittedCorners(const std::vector<cv::Point>& contour,
                                                        const std::vector<cv::Point>& approximation) {
    std::array<std::vector<cv::Point2f>, 4> sides;
    std::array<cv::Point2d, 4> vertices;
    for (int i = 0; i < 4; ++i) vertices[i] = approximation[static_cast<std::size_t>(i)];
    const cv::Point2d centre = (vertices[0] + vertices[1] + vertices[2] + vertices[3]) * 0.25;
    for (const cv::Point& pixel : contour) {
        const cv::Point2d p(pixel);
        int nearest = -1;
        double nearestDistance = 0, along = 0;
        for (int i = 0; i < 4; ++i) {
            const cv::Point2d start = vertices[i], side = vertices[(i + 1) % 4] - start;
            const double length = cv::norm(side);
            if (length <= 0) return std::nullopt;
            const cv::Point2d unit = side / length;
            const double distance = std::abs(cross(unit, p - start));
            if (nearest < 0 || distance < nearestDistance)
                nearest = i, nearestDistance = distance, along = (p - start).dot(unit) / length;
        }
        if (along >= kSideEnd && along <= 1 - kSideEnd) sides[static_cast<std::size_t>(nearest)].push_back(p);
    }
    std::array<Line, 4> lines;
    for (int i = 0; i < 4; ++i) {
        const auto& points = sides[static_cast<std::size_t>(i)];
        if (points.size() < 3) return std::nullopt;
        cv::Vec4f fitted;
        cv::fitLine(points, fitted, cv::DIST_HUBER, 0, 0.01, 0.01);
        Line line{{fitted[2], fitted[3]}, {fitted[0], fitted[1]}};
        // The ring's outer edge lies outside the card by the thickening.
        cv::Point2d inwards(-line.direction.y, line.direction.x);
        if ((centre - line.point).dot(inwards) < 0) inwards = -inwards;
        line.point += inwards * kThickening;
        lines[static_cast<std::size_t>(i)] = line;
    }
    std::array<cv::Point2d, 4> corners;
    for (int i = 0; i < 4; ++i) {
        const auto corner =
            meet(lines[static_cast<std::size_t>((i + 3) % 4)], lines[static_cast<std::size_t>(i)]);
        if (!corner) return std::nullopt;
        corners[static_cast<std::size_t>(i)] = *corner;
    }
    return corners;
}

// The card's width (its minimum-area rectangle's side that runs across) and
// height from its corners.
std::pair<double, double> cardSize(const std::array<cv::Point2d, 4>& corners) {
    std::vector<cv::Point2f> points(corners.begin(), corners.end());
    const cv::RotatedRect box = cv::minAreaRect(points);
    cv::Point2f vertices[4];
    box.points(vertices);
    const cv::Point2f first = vertices[1] - vertices[0], second = vertices[2] - vertices[1];
    const bool firstAcross = std::abs(first.x) >= std::abs(first.y);
    return {cv::norm(firstAcross ? first : second), cv::norm(firstAcross ? second : first)};
}

// Clockwise on screen (y grows downwards), starting with the corner nearest
// the top left.
void orderClockwise(std::array<cv::Point2d, 4>& corners) {
    double twiceArea = 0;
    for (std::size_t i = 0; i < 4; ++i) twiceArea += cross(corners[i], corners[(i + 1) % 4]);
    if (twiceArea < 0) std::reverse(corners.begin(), corners.end());
    const auto first = std::min_element(corners.begin(), corners.end(),
                                        [](const auto& a, const auto& b) { return a.x + a.y < b.x + b.y; });
    std::rotate(corners.begin(), first, corners.end());
}

// A card's corners in the shrunk copy's pixels (pixel i spans [i, i + 1)).
using Outline = std::array<cv::Point2d, 4>;

// The card's outline in `small`, the shrunk copy of the searched region;
// `minArea` in its pixels.
std::optional<Outline> findOutline(const cv::Mat& small, double minArea) {
    constexpr double kCardAspect = 1 / capture::cardAspectRatio;
    constexpr double low = kCardAspect * (1 - EKYCCardExaminer::aspectTolerance);
    constexpr double high = kCardAspect * (1 + EKYCCardExaminer::aspectTolerance);
    cv::Mat edges;
    cv::GaussianBlur(small, edges, cv::Size(3, 3), 0);
    cv::Canny(edges, edges, 30, 90);
    cv::dilate(edges, edges, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)), cv::Point(-1, -1),
               kThickening);
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(edges, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);

    std::optional<Outline> best;
    double bestArea = 0;
    for (const auto& contour : contours) {
        const double area = cv::contourArea(contour);
        if (area < minArea || area <= bestArea) continue;
        // A ring that reaches the searched region's edge is not seen whole
        // (and a region full of texture makes one big ring of its edges).
        const cv::Rect bounds = cv::boundingRect(contour);
        if (bounds.x <= 0 || bounds.y <= 0 || bounds.br().x >= small.cols || bounds.br().y >= small.rows)
            continue;
        const cv::RotatedRect box = cv::minAreaRect(contour);
        if (area < EKYCCardExaminer::minRectangularity * box.size.area()) continue;
        // A quick look at the proportions before the corners are fitted.
        const double longSide = std::max(box.size.width, box.size.height);
        const double shortSide = std::min(box.size.width, box.size.height);
        if (shortSide <= 0 || longSide / shortSide > high * 1.1) continue;

        // The hull's four main corners: a card's rounded corners (and the
        // ragged edge of its thickened outline) leave extra vertices at the
        // finer tolerances, which the coarser ones drop.
        std::vector<cv::Point> hull, approximation;
        cv::convexHull(contour, hull);
        const double perimeter = cv::arcLength(hull, true);
        for (const double share : {0.02, 0.03, 0.045, 0.06, 0.08}) {
            cv::approxPolyDP(hull, approximation, share * perimeter, true);
            if (approximation.size() <= 4) break;
        }
        if (approximation.size() != 4 || !cv::isContourConvex(approximation)) continue;
        auto corners = fittedCorners(contour, approximation);
        if (!corners) continue;
        // Pixel indices to positions: pixel i's centre lies at i + 0.5.
        for (auto& corner : *corners) corner += cv::Point2d(0.5, 0.5);
        const auto [width, height] = cardSize(*corners);  // the shrink keeps proportions
        if (height <= 0 || width / height < low || width / height > high) continue;
        bestArea = area;
        best = *corners;
    }
    return best;
}

// The share of `grey`'s pixels inside the convex `corners` (positions in
// its pixels) that are burnt; nothing when the shape covers no pixel.
std::optional<double> burntShareInside(const cv::Mat& grey, const std::array<cv::Point2d, 4>& corners) {
    constexpr int kShift = 4;  // fractional bits of the polygon's vertices
    cv::Point vertices[4];
    for (std::size_t i = 0; i < 4; ++i)
        vertices[i] = cv::Point(static_cast<int>(std::lround((corners[i].x - 0.5) * (1 << kShift))),
                                static_cast<int>(std::lround((corners[i].y - 0.5) * (1 << kShift))));
    cv::Mat mask(grey.size(), CV_8UC1, cv::Scalar(0));
    cv::fillConvexPoly(mask, vertices, 4, cv::Scalar(255), cv::LINE_8, kShift);
    std::uint64_t inside = 0, burnt = 0;
    for (int y = 0; y < grey.rows; ++y) {
        const std::uint8_t* row = grey.ptr<std::uint8_t>(y);
        const std::uint8_t* in = mask.ptr<std::uint8_t>(y);
        for (int x = 0; x < grey.cols; ++x) {
            if (!in[x]) continue;
            ++inside;
            burnt += row[x] >= kBurnt ? 1u : 0u;
        }
    }
    if (inside == 0) return std::nullopt;
    return static_cast<double>(burnt) / static_cast<double>(inside);
}

EKYCDocumentMeasures examineGrey(const RasterImage& image, const cv::Rect& window) {
    EKYCDocumentMeasures measures;
    const int marginX = static_cast<int>(std::lround(window.width * EKYCCardExaminer::searchMargin));
    const int marginY = static_cast<int>(std::lround(window.height * EKYCCardExaminer::searchMargin));
    const cv::Rect region = cv::Rect(window.x - marginX, window.y - marginY, window.width + 2 * marginX,
                                     window.height + 2 * marginY) &
                            cv::Rect(0, 0, image.width(), image.height());
    const cv::Mat grey = greyRegion(image, region);
    const cv::Mat windowGrey = grey(window - region.tl());
    measureLight(windowGrey, measures);
    measures.sharpness = sharpnessOf(windowGrey);
    measures.glare = measures.burntShare;

    // The outline, on a shrunk copy of the region.
    cv::Mat small = grey;
    if (grey.cols > EKYCCardExaminer::outlineWidth) {
        const double scale = static_cast<double>(EKYCCardExaminer::outlineWidth) / grey.cols;
        cv::resize(grey, small,
                   cv::Size(EKYCCardExaminer::outlineWidth,
                            std::max(1, static_cast<int>(std::lround(grey.rows * scale)))),
                   0, 0, cv::INTER_AREA);
    }
    if (small.cols < 8 || small.rows < 8) return measures;
    const double scaleX = static_cast<double>(small.cols) / grey.cols;
    const double scaleY = static_cast<double>(small.rows) / grey.rows;
    const double minArea =
        EKYCCardExaminer::minAreaShare * double(window.width) * window.height * scaleX * scaleY;
    const auto outline = findOutline(small, minArea);
    if (!outline) return measures;

    measures.found = true;
    std::array<cv::Point2d, 4> corners;
    for (std::size_t i = 0; i < 4; ++i)
        corners[i] = {region.x + (*outline)[i].x / scaleX, region.y + (*outline)[i].y / scaleY};
    orderClockwise(corners);
    for (std::size_t i = 0; i < 4; ++i) measures.corners[i] = {corners[i].x, corners[i].y};
    measures.fill = cardSize(corners).first / window.width;
    if (const auto glare = burntShareInside(small, *outline)) measures.glare = *glare;
    return measures;
}

}  // namespace

EKYCDocumentMeasures EKYCCardExaminer::examine(const RasterImage& image,
                                               const capture::Rect& window) noexcept {
    try {
        if (image.isEmpty()) return {};
        const cv::Rect pixels = wholePixels(window, image.width(), image.height());
        if (pixels.empty()) return {};
        return examineGrey(image, pixels);
    } catch (const std::exception&) {  // cv::Exception among them
        return {};
    }
}

std::unique_ptr<EKYCDocumentExaminer> makeDefaultDocumentExaminer() {
    return std::make_unique<EKYCCardExaminer>();
}

}  // namespace ovira::vision

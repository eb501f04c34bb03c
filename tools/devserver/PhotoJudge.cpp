#include "PhotoJudge.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace ovira::devserver {

struct PhotoJudge::Detector {
    // detectMultiScale is not safe to call from several threads at once.
    std::mutex mutex;
    cv::CascadeClassifier cascade;
};

namespace {

cv::Mat decode(std::string_view encoded) {
    if (encoded.empty()) return {};
    const cv::Mat buffer(1, static_cast<int>(encoded.size()), CV_8UC1,
                         const_cast<char*>(encoded.data()));  // imdecode only reads
    try {
        return cv::imdecode(buffer, cv::IMREAD_GRAYSCALE);
    } catch (const cv::Exception&) {
        return {};
    }
}

// Shrinks to at most `maxWidth` so that measures and detection do not depend
// on the camera's resolution and stay fast on large photos.
cv::Mat shrink(const cv::Mat& grey, int maxWidth) {
    if (grey.cols <= maxWidth) return grey;
    cv::Mat small;
    const double scale = static_cast<double>(maxWidth) / grey.cols;
    cv::resize(grey, small, cv::Size(maxWidth, std::max(1, static_cast<int>(std::lround(grey.rows * scale)))),
               0, 0, cv::INTER_AREA);
    return small;
}

void measure(const cv::Mat& grey, Verdict& verdict) {
    verdict.width = grey.cols;
    verdict.height = grey.rows;
    const double total = static_cast<double>(grey.total());
    verdict.brightness = cv::mean(grey)[0];
    verdict.burntShare = cv::countNonZero(grey >= 250) / total;
    verdict.blackShare = cv::countNonZero(grey <= 5) / total;
    cv::Mat laplacian;
    cv::Laplacian(shrink(grey, 1000), laplacian, CV_64F);
    cv::Scalar mean, deviation;
    cv::meanStdDev(laplacian, mean, deviation);
    verdict.sharpness = deviation[0] * deviation[0];
}

// The width of the card's outline as a share of the photo's width, 0 when
// the photo shows no outline of a card. Edges are found on a shrunk, slightly
// blurred copy and thickened so that the card's border closes into one ring;
// the outermost rings that are nearly rectangular, landscape with a card's
// proportions and not too small for a card held up to the camera are
// candidates, and the largest wins. Its width is measured along the side of
// its minimum-area rectangle that runs across the photo, so that a tilted
// card is not taken for a wider one.
double cardWidthShare(const cv::Mat& grey, const PhotoJudge::Thresholds& limits) {
    constexpr double kMinAreaShare = 0.04;       // a card about a fifth of the photo's width
    constexpr double kMinRectangularity = 0.85;  // ring area / its rectangle's area
    constexpr int kThickening = 2;               // pixels added around every edge
    const cv::Mat small = shrink(grey, 800);
    cv::Mat edges;
    cv::GaussianBlur(small, edges, cv::Size(5, 5), 0);
    cv::Canny(edges, edges, 30, 90);
    cv::dilate(edges, edges, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)), cv::Point(-1, -1),
               kThickening);
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(edges, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);

    const double imageArea = static_cast<double>(small.total());
    const double low = limits.cardAspect * (1 - limits.outlineAspectTolerance);
    const double high = limits.cardAspect * (1 + limits.outlineAspectTolerance);
    double bestArea = 0;
    double bestWidth = 0;
    for (const auto& contour : contours) {
        const double area = cv::contourArea(contour);
        if (area < kMinAreaShare * imageArea || area <= bestArea) continue;
        const cv::RotatedRect box = cv::minAreaRect(contour);
        cv::Point2f corners[4];
        box.points(corners);
        const cv::Point2f first = corners[1] - corners[0];
        const cv::Point2f second = corners[2] - corners[1];
        const bool firstAcross = std::abs(first.x) >= std::abs(first.y);
        // The ring's edges lie outside the card by the thickening.
        const double width = std::max(0.0, cv::norm(firstAcross ? first : second) - 2 * kThickening);
        const double height = std::max(0.0, cv::norm(firstAcross ? second : first) - 2 * kThickening);
        if (height <= 0 || width / height < low || width / height > high) continue;
        if (area < kMinRectangularity * box.size.area()) continue;
        bestArea = area;
        bestWidth = width;
    }
    return std::min(1.0, bestWidth / small.cols);
}

std::optional<Message> judgeLight(const Verdict& verdict, const PhotoJudge::Thresholds& limits) {
    if (verdict.brightness < limits.minBrightness || verdict.blackShare > limits.maxBlackShare)
        return Message::TooDark;
    if (verdict.brightness > limits.maxBrightness || verdict.burntShare > limits.maxBurntShare)
        return Message::TooBright;
    return std::nullopt;
}

}  // namespace

PhotoJudge::PhotoJudge() : PhotoJudge(kDefaultCascade, Thresholds{}) {}

PhotoJudge::PhotoJudge(const std::filesystem::path& cascadeFile) : PhotoJudge(cascadeFile, Thresholds{}) {}

PhotoJudge::PhotoJudge(const std::filesystem::path& cascadeFile, Thresholds thresholds)
    : thresholds_(thresholds), detector_(std::make_unique<Detector>()) {
    try {
        detector_->cascade.load(cascadeFile.string());
    } catch (const cv::Exception&) {
        // Left empty: face photos are then refused with FaceDetectorUnavailable.
    }
}

PhotoJudge::~PhotoJudge() = default;

namespace {
// The grey image with its measurements in the verdict; an empty image (and
// the verdict's rejection) when the bytes are no image.
cv::Mat decodeAndMeasure(std::string_view encoded, Verdict& verdict) {
    cv::Mat grey = decode(encoded);
    if (grey.empty())
        verdict.rejection = Message::UnreadableImage;
    else
        measure(grey, verdict);
    return grey;
}
}  // namespace

Verdict PhotoJudge::judgeDocument(std::string_view encoded) const {
    Verdict verdict;
    const cv::Mat grey = decodeAndMeasure(encoded, verdict);
    if (grey.empty()) return verdict;
    const double aspect = static_cast<double>(grey.cols) / grey.rows;
    const double low = thresholds_.cardAspect * (1 - thresholds_.aspectTolerance);
    const double high = thresholds_.cardAspect * (1 + thresholds_.aspectTolerance);
    if (aspect < low || aspect > high) {
        verdict.rejection = Message::WrongShape;
        return verdict;
    }
    if (grey.cols < thresholds_.minCardWidth) {
        verdict.rejection = Message::DocumentTooNarrow;
        return verdict;
    }
    verdict.cardWidthShare = cardWidthShare(grey, thresholds_);
    // No outline at all means the card reaches past the photo's edges (or
    // the scene shows no card, which this judge does not try to tell): the
    // card is then taken to fill the photo.
    if (verdict.cardWidthShare > 0 && verdict.cardWidthShare < thresholds_.minCardWidthShare)
        verdict.rejection = Message::CardFillsTooLittle;
    else if (auto light = judgeLight(verdict, thresholds_))
        verdict.rejection = light;
    // Darkness flattens the Laplacian too, so sharpness is judged last.
    else if (verdict.sharpness < thresholds_.minSharpness)
        verdict.rejection = Message::Blurred;
    return verdict;
}

Verdict PhotoJudge::judgeFace(std::string_view encoded) const {
    Verdict verdict;
    const cv::Mat grey = decodeAndMeasure(encoded, verdict);
    if (grey.empty()) return verdict;
    if (std::min(grey.cols, grey.rows) < thresholds_.minFaceImageSide) {
        verdict.rejection = Message::TooSmall;
        return verdict;
    }
    if (auto light = judgeLight(verdict, thresholds_)) {
        verdict.rejection = light;
        return verdict;
    }

    cv::Mat small = shrink(grey, 800);
    cv::equalizeHist(small, small);
    const int minSide = std::max(24, static_cast<int>(small.cols * thresholds_.detectFaceWidthShare));
    std::vector<cv::Rect> faces;
    {
        std::lock_guard lock(detector_->mutex);
        if (detector_->cascade.empty()) {
            verdict.rejection = Message::FaceDetectorUnavailable;
            return verdict;
        }
        detector_->cascade.detectMultiScale(small, faces, 1.1, 5, 0, cv::Size(minSide, minSide));
    }
    verdict.faces = static_cast<int>(faces.size());
    for (const auto& face : faces) {
        verdict.faceWidthShare =
            std::max(verdict.faceWidthShare, static_cast<double>(face.width) / small.cols);
    }
    if (faces.empty())
        verdict.rejection = Message::NoFace;
    else if (faces.size() > 1)
        verdict.rejection = Message::SeveralFaces;
    else if (verdict.faceWidthShare < thresholds_.minFaceWidthShare)
        verdict.rejection = Message::FaceTooSmall;
    return verdict;
}

}  // namespace ovira::devserver

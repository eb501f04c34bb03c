#include "vision/EKYCBlazeFaceDetector.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <utility>

#include "ovira/EKYCLogger.h"

#if OVIRA_HAS_BLAZEFACE
#include <opencv2/dnn.hpp>
extern "C" const unsigned char ovira_blazeface_model[];
extern "C" const unsigned char ovira_blazeface_model_end[];
#endif

namespace ovira::vision {

namespace {

// The two feature maps: 16 x 16 cells with 2 anchors each (stride 8), then
// 8 x 8 cells with 6 anchors each (stride 16). Every anchor sits at its cell's centre.
struct FeatureMap {
    int grid;
    int anchorsPerCell;
};
constexpr FeatureMap kFeatureMaps[] = {{16, 2}, {8, 6}};
// Per anchor: the box (centre x, centre y, width, height), then the six key
// points (x, y) in EKYCDetectedFace's order; centres and points are offsets
// from the anchor, all in input pixels.
constexpr int kRegressionValues = 4 + 2 * EKYCDetectedFace::keypointCount;

float sigmoid(float logit) {
    return 1.0f / (1.0f + std::exp(-std::clamp(logit, -100.0f, 100.0f)));
}

struct Candidate {
    EKYCDetectedFace face;  // in model input pixels
    float score;
};

double overlap(const capture::Rect& a, const capture::Rect& b) {
    const double x = std::max(0.0, std::min(a.right(), b.right()) - std::max(a.x, b.x));
    const double y = std::max(0.0, std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y));
    const double shared = x * y;
    const double total = a.width * a.height + b.width * b.height - shared;
    return total > 0 ? shared / total : 0;
}

}  // namespace

struct EKYCBlazeFaceDetector::Network {
#if OVIRA_HAS_BLAZEFACE
    cv::dnn::Net net;
    std::vector<cv::String> outputs;  // scores 16x16, scores 8x8, boxes 16x16, boxes 8x8
#endif
    bool loaded = false;
};

EKYCBlazeFaceDetector::EKYCBlazeFaceDetector(const Data& model, float scoreThreshold, float overlapThreshold)
    : network_(std::make_unique<Network>()),
      scoreThreshold_(scoreThreshold),
      overlapThreshold_(overlapThreshold) {
#if OVIRA_HAS_BLAZEFACE
    try {
        network_->net = cv::dnn::readNetFromONNX(std::vector<uchar>(model.begin(), model.end()));
        network_->outputs = network_->net.getUnconnectedOutLayersNames();
        network_->loaded = !network_->net.empty() && network_->outputs.size() == 4;
    } catch (const cv::Exception& error) {
        EKYCLogger("[Camera]", EKYCLogger::Subsystem::general).log("FaceDetection error:", error.what());
    }
#else
    (void)model;
#endif
}

EKYCBlazeFaceDetector::~EKYCBlazeFaceDetector() = default;

bool EKYCBlazeFaceDetector::hasEmbeddedModel() {
#if OVIRA_HAS_BLAZEFACE
    return true;
#else
    return false;
#endif
}

std::unique_ptr<EKYCBlazeFaceDetector> EKYCBlazeFaceDetector::embedded() {
#if OVIRA_HAS_BLAZEFACE
    auto detector =
        std::make_unique<EKYCBlazeFaceDetector>(Data(ovira_blazeface_model, ovira_blazeface_model_end));
    if (detector->isLoaded()) return detector;
#endif
    return nullptr;
}

bool EKYCBlazeFaceDetector::isLoaded() const {
    return network_->loaded;
}

std::vector<capture::Rect> EKYCBlazeFaceDetector::detectFaces(const RasterImage& frame) {
    std::vector<capture::Rect> boxes;
    for (const EKYCDetectedFace& face : detectFacesWithKeypoints(frame)) boxes.push_back(face.box);
    return boxes;
}

std::vector<EKYCDetectedFace> EKYCBlazeFaceDetector::detectFacesWithKeypoints(const RasterImage& frame) {
#if OVIRA_HAS_BLAZEFACE
    if (!isLoaded() || frame.isEmpty()) return {};
    // Letter-box into a square so that faces keep their shape.
    const int side = std::max(frame.width(), frame.height());
    const double scale = static_cast<double>(inputSide) / side;
    const int scaledWidth = std::max(1, static_cast<int>(std::lround(frame.width() * scale)));
    const int scaledHeight = std::max(1, static_cast<int>(std::lround(frame.height() * scale)));
    const int left = (inputSide - scaledWidth) / 2, top = (inputSide - scaledHeight) / 2;

    auto* pixels = const_cast<std::uint8_t*>(frame.pixels().data());
    const int type = frame.format() == RasterImage::Format::gray  ? CV_8UC1
                     : frame.format() == RasterImage::Format::rgb ? CV_8UC3
                                                                  : CV_8UC4;
    const cv::Mat source(frame.height(), frame.width(), type, pixels);
    // Halving with bilinear steps averages 2 x 2 blocks (the samples fall
    // between pixels) as area averaging would, at a fraction of its cost and
    // without its thread pool; the last, small step averages areas.
    cv::Mat scaled = source;
    while (scaled.cols / 2 >= scaledWidth && scaled.rows / 2 >= scaledHeight) {
        cv::Mat half;
        cv::resize(scaled, half, cv::Size(scaled.cols / 2, scaled.rows / 2), 0, 0, cv::INTER_LINEAR);
        scaled = half;
    }
    if (scaled.cols != scaledWidth || scaled.rows != scaledHeight) {
        cv::Mat exact;
        cv::resize(scaled, exact, cv::Size(scaledWidth, scaledHeight), 0, 0, cv::INTER_AREA);
        scaled = exact;
    }
    cv::Mat rgb;
    if (type == CV_8UC1)
        cv::cvtColor(scaled, rgb, cv::COLOR_GRAY2RGB);
    else if (type == CV_8UC4)
        cv::cvtColor(scaled, rgb, cv::COLOR_RGBA2RGB);
    else
        rgb = scaled;
    cv::Mat square(inputSide, inputSide, CV_8UC3, cv::Scalar::all(0));
    rgb.copyTo(square(cv::Rect(left, top, scaledWidth, scaledHeight)));
    cv::Mat input;
    square.convertTo(input, CV_32FC3, 2.0 / 255.0, -1.0);  // [-1, 1]

    const int shape[] = {1, inputSide, inputSide, 3};  // NHWC
    network_->net.setInput(cv::Mat(4, shape, CV_32F, input.data));
    std::vector<cv::Mat> outputs;
    network_->net.forward(outputs, network_->outputs);

    std::vector<Candidate> candidates;
    for (int map = 0; map < 2; ++map) {
        const auto [grid, perCell] = kFeatureMaps[map];
        const cv::Mat& scores = outputs[static_cast<std::size_t>(map)];
        const cv::Mat& boxes = outputs[static_cast<std::size_t>(map + 2)];
        const int anchors = grid * grid * perCell;
        if (static_cast<int>(scores.total()) != anchors ||
            static_cast<int>(boxes.total()) != anchors * kRegressionValues)
            return {};
        const auto* score = scores.ptr<float>();
        const auto* box = boxes.ptr<float>();
        for (int i = 0; i < anchors; ++i) {
            const float probability = sigmoid(score[i]);
            if (probability < scoreThreshold_) continue;
            const int cell = i / perCell;
            const double anchorX = (cell % grid + 0.5) / grid * inputSide;
            const double anchorY = (cell / grid + 0.5) / grid * inputSide;
            const float* r = box + static_cast<std::ptrdiff_t>(i) * kRegressionValues;
            const double width = r[2], height = r[3];
            Candidate candidate{
                {{anchorX + r[0] - width / 2, anchorY + r[1] - height / 2, width, height}, {}}, probability};
            for (int k = 0; k < EKYCDetectedFace::keypointCount; ++k)
                candidate.face.keypoints.push_back({anchorX + r[4 + 2 * k], anchorY + r[5 + 2 * k]});
            candidates.push_back(std::move(candidate));
        }
    }

    // Best first; a box that overlaps one already kept is the same face.
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    std::vector<EKYCDetectedFace> faces;
    std::vector<capture::Rect> kept;
    const auto toFrame = [&](const capture::Point& p) {
        return capture::Point{(p.x - left) / scale, (p.y - top) / scale};
    };
    for (const auto& candidate : candidates) {
        if (std::any_of(kept.begin(), kept.end(), [&](const capture::Rect& other) {
                return overlap(other, candidate.face.box) > overlapThreshold_;
            }))
            continue;
        kept.push_back(candidate.face.box);
        // Back to frame pixels; the box clipped to the frame.
        const auto& b = candidate.face.box;
        const capture::Point topLeft = toFrame({b.x, b.y}), bottomRight = toFrame({b.right(), b.bottom()});
        const double x = std::max(0.0, topLeft.x), y = std::max(0.0, topLeft.y);
        const double right = std::min<double>(frame.width(), bottomRight.x);
        const double bottom = std::min<double>(frame.height(), bottomRight.y);
        if (right <= x || bottom <= y) continue;
        EKYCDetectedFace face{{x, y, right - x, bottom - y}, {}};
        for (const capture::Point& point : candidate.face.keypoints) face.keypoints.push_back(toFrame(point));
        faces.push_back(std::move(face));
    }
    return faces;
#else
    (void)frame;
    return {};
#endif
}

}  // namespace ovira::vision

#include "vision/EKYCHaarFaceDetector.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <algorithm>

#include "ovira/EKYCLogger.h"
#include "vision/MatAdapter.h"

namespace ovira::vision {

namespace {
constexpr int kWorkingWidth = 320;
}

struct EKYCHaarFaceDetector::Cascade {
    cv::CascadeClassifier classifier;
};

EKYCHaarFaceDetector::EKYCHaarFaceDetector(const std::string& cascadeFile)
    : cascade_(std::make_unique<Cascade>()) {
    const std::string file = cascadeFile.empty() ? std::string(OVIRA_HAAR_CASCADE) : cascadeFile;
    bool loaded = false;
    try {
        loaded = cascade_->classifier.load(file);
    } catch (const cv::Exception&) {
        loaded = false;
    }
    if (!loaded)
        EKYCLogger("[Camera]", EKYCLogger::Subsystem::general).log("FaceDetection error: cannot load", file);
}

EKYCHaarFaceDetector::~EKYCHaarFaceDetector() = default;

bool EKYCHaarFaceDetector::isLoaded() const {
    return !cascade_->classifier.empty();
}

std::vector<capture::Rect> EKYCHaarFaceDetector::detectFaces(const RasterImage& frame) {
    if (!isLoaded() || frame.isEmpty()) return {};
    cv::Mat gray = grayMat(frame);
    const double scale =
        frame.width() > kWorkingWidth ? static_cast<double>(kWorkingWidth) / frame.width() : 1.0;
    if (scale < 1.0) cv::resize(gray, gray, cv::Size(), scale, scale, cv::INTER_AREA);
    cv::equalizeHist(gray, gray);
    const int minSide = std::max(24, std::min(gray.cols, gray.rows) / 6);
    std::vector<cv::Rect> found;
    cascade_->classifier.detectMultiScale(gray, found, 1.1, 5, cv::CASCADE_SCALE_IMAGE,
                                          cv::Size(minSide, minSide));
    std::vector<capture::Rect> faces;
    faces.reserve(found.size());
    for (const auto& face : found)
        faces.push_back({face.x / scale, face.y / scale, face.width / scale, face.height / scale});
    return faces;
}

}  // namespace ovira::vision

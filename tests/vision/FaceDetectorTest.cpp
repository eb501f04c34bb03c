// Face detection on real pictures, and the face check that the capture
// screen makes with it: the astronaut inside the circle, then outside it.
#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "DevServerTestSupport.h"
#include "capture/EKYCCaptureGeometry.h"
#include "vision/DefaultFaceDetector.h"
#include "vision/EKYCBlazeFaceDetector.h"
#include "vision/EKYCHaarFaceDetector.h"
#include "vision/MatAdapter.h"

namespace ovira::vision {
namespace {

using capture::Rect;
using capture::Size;

cv::Mat picture(const std::string& name) {
    return devserver::test::decodeImage(devserver::test::testImage(name));
}

// A phone-shaped frame with the picture pasted so that `point` of the picture lands at `at`.
cv::Mat framed(const cv::Mat& content, cv::Point point, cv::Point at, cv::Size size = {390, 844}) {
    cv::Mat frame(size, CV_8UC3, cv::Scalar(40, 40, 40));
    const cv::Rect target(at.x - point.x, at.y - point.y, content.cols, content.rows);
    const cv::Rect visible = target & cv::Rect(0, 0, size.width, size.height);
    content(cv::Rect(visible.x - target.x, visible.y - target.y, visible.width, visible.height))
        .copyTo(frame(visible));
    return frame;
}

// Both detectors must pass the same checks.
class FaceDetector : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "BlazeFace") {
            blazeFace = EKYCBlazeFaceDetector::embedded();
            if (!blazeFace) GTEST_SKIP() << "built without the BlazeFace model (scripts/fetch-models.sh)";
        }
    }
    EKYCFaceDetector& detector() { return blazeFace ? static_cast<EKYCFaceDetector&>(*blazeFace) : haar; }

    std::unique_ptr<EKYCBlazeFaceDetector> blazeFace;
    EKYCHaarFaceDetector haar;
};

INSTANTIATE_TEST_SUITE_P(Detectors, FaceDetector, ::testing::Values("BlazeFace", "Haar"),
                         [](const auto& param) { return param.param; });

TEST_P(FaceDetector, FindsTheOneFaceOfAPersonAndNoneOfACat) {
    auto& detector = this->detector();
    const cv::Mat astronaut = picture("astronaut.png");
    const auto faces = detector.detectFaces(rasterFromMat(astronaut));
    ASSERT_EQ(faces.size(), 1u);
    EXPECT_GT(faces[0].width, astronaut.cols / 8.0);
    EXPECT_TRUE((Rect{0, 0, double(astronaut.cols), double(astronaut.rows)}).contains(faces[0]));
    EXPECT_TRUE(detector.detectFaces(rasterFromMat(picture("chelsea.png"))).empty());
    EXPECT_TRUE(detector.detectFaces(RasterImage(0, 0, RasterImage::Format::rgb, {})).empty());
}

TEST_P(FaceDetector, TheFaceCheckPassesOnlyWithTheFaceInsideTheCircle) {
    auto& detector = this->detector();
    // Held at arm's length, a face fills much of the circle: twice the picture's size.
    cv::Mat astronaut;
    cv::resize(picture("astronaut.png"), astronaut, cv::Size(), 2.0, 2.0, cv::INTER_LINEAR);
    const auto found = detector.detectFaces(rasterFromMat(astronaut));
    ASSERT_EQ(found.size(), 1u);
    const cv::Point faceCentre(int(found[0].x + found[0].width / 2), int(found[0].y + found[0].height / 2));
    const Size view{390, 844};
    const auto check = [&](cv::Point at, bool mirrored) {
        const cv::Mat frame = framed(astronaut, faceCentre, at);
        const auto faces = detector.detectFaces(rasterFromMat(frame));
        EXPECT_EQ(faces.size(), 1u);
        bool inside = !faces.empty();
        for (const auto& face : faces)
            inside = inside && capture::isFaceInside(capture::frameToView(face, {view, view, {}, mirrored}),
                                                     capture::faceSquare(view));
        return inside;
    };
    EXPECT_TRUE(check({195, 422}, false)) << "centred in the circle";
    EXPECT_TRUE(check({195, 422}, true)) << "a mirrored preview changes nothing for a centred face";
    EXPECT_FALSE(check({195, 160}, false)) << "above the circle";
    EXPECT_FALSE(check({110, 422}, true)) << "off to one side";
}

TEST(FaceDetectorFailures, AMissingOrDamagedModelFindsNothingWithoutFailing) {
    EKYCHaarFaceDetector missing("/nonexistent/cascade.xml");
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_TRUE(missing.detectFaces(rasterFromMat(picture("astronaut.png"))).empty());
    EKYCBlazeFaceDetector damaged(makeData("not an onnx model"));
    EXPECT_FALSE(damaged.isLoaded());
    EXPECT_TRUE(damaged.detectFaces(rasterFromMat(picture("astronaut.png"))).empty());
    const bool blazeFaceIsDefault =
        dynamic_cast<EKYCBlazeFaceDetector*>(makeDefaultFaceDetector().get()) != nullptr;
    EXPECT_EQ(blazeFaceIsDefault, EKYCBlazeFaceDetector::hasEmbeddedModel());
}

TEST(MatAdapter, ConvertsEveryPixelLayoutBothWays) {
    cv::Mat bgr(2, 3, CV_8UC3, cv::Scalar(10, 20, 30));
    const RasterImage rgb = rasterFromMat(bgr);
    ASSERT_EQ(rgb.format(), RasterImage::Format::rgb);
    EXPECT_EQ(rgb.pixels()[0], 30);
    EXPECT_EQ(rgb.pixels()[2], 10);
    const cv::Mat gray = grayMat(rgb);
    EXPECT_EQ(gray.size(), cv::Size(3, 2));
    EXPECT_EQ(rasterFromMat(cv::Mat(2, 2, CV_8UC4, cv::Scalar(1, 2, 3, 4))).format(),
              RasterImage::Format::rgba);
    EXPECT_TRUE(rasterFromMat(cv::Mat(2, 2, CV_16UC1)).isEmpty());
}

}  // namespace
}  // namespace ovira::vision

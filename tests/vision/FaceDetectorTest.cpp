// Face detection on real pictures, and the face check that the capture
// screen makes with it: the astronaut inside the circle, then outside it.
#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

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

// The key points' places on the astronaut, as a face looks: the eyes
// apart, above the nose above the mouth, the nose between the eyes and the
// eyes between the ears; all near the box.
void expectAFacesLayout(const EKYCDetectedFace& face) {
    using K = EKYCDetectedFace;
    ASSERT_TRUE(face.hasKeypoints());
    const Rect around{face.box.x - face.box.width / 4, face.box.y - face.box.height / 4, face.box.width * 1.5,
                      face.box.height * 1.5};
    for (const auto& point : face.keypoints) EXPECT_TRUE(around.contains({point.x, point.y, 0, 0}));
    for (const K::Keypoint inner : {K::rightEye, K::leftEye, K::noseTip, K::mouth})
        EXPECT_TRUE(face.box.contains({face.point(inner).x, face.point(inner).y, 0, 0})) << inner;
    const double eyeLevel = (face.point(K::rightEye).y + face.point(K::leftEye).y) / 2;
    EXPECT_LT(eyeLevel, face.point(K::noseTip).y);
    EXPECT_LT(face.point(K::noseTip).y, face.point(K::mouth).y);
    const double rightEyeX = face.point(K::rightEye).x, leftEyeX = face.point(K::leftEye).x;
    EXPECT_GT(std::abs(rightEyeX - leftEyeX), face.box.width / 5);
    EXPECT_GT(face.point(K::noseTip).x, std::min(rightEyeX, leftEyeX));
    EXPECT_LT(face.point(K::noseTip).x, std::max(rightEyeX, leftEyeX));
    EXPECT_GT(std::abs(face.point(K::rightEar).x - face.point(K::leftEar).x), std::abs(rightEyeX - leftEyeX));
}

TEST(BlazeFaceKeypoints, SixPointsInTheirOrderWithTheBoxesOfDetectFaces) {
    auto detector = EKYCBlazeFaceDetector::embedded();
    if (!detector) GTEST_SKIP() << "built without the BlazeFace model (scripts/fetch-models.sh)";
    using K = EKYCDetectedFace;
    const RasterImage frame = rasterFromMat(picture("astronaut.png"));
    const auto faces = detector->detectFacesWithKeypoints(frame);
    ASSERT_EQ(faces.size(), 1u);
    const K& face = faces[0];
    expectAFacesLayout(face);
    // Her right eye and ear are on the picture's left.
    EXPECT_LT(face.point(K::rightEye).x, face.point(K::leftEye).x);
    EXPECT_LT(face.point(K::rightEar).x, face.point(K::leftEar).x);
    EXPECT_LT(face.point(K::rightEar).x, face.point(K::rightEye).x);
    // One decoding: the boxes alone are the same boxes.
    const auto boxes = detector->detectFaces(frame);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], face.box);
    // The Haar cascade finds the box and no key points.
    const auto haarFaces = EKYCHaarFaceDetector().detectFacesWithKeypoints(frame);
    ASSERT_EQ(haarFaces.size(), 1u);
    EXPECT_FALSE(haarFaces[0].hasKeypoints());
}

TEST(BlazeFaceKeypoints, AMirroredPictureShowsAMirroredPerson) {
    auto detector = EKYCBlazeFaceDetector::embedded();
    if (!detector) GTEST_SKIP() << "built without the BlazeFace model (scripts/fetch-models.sh)";
    // Nothing in a face tells a mirror image from the mirrored person's
    // own: the points come back mirrored with right and left exchanged, so
    // the eye called right stays on the picture's left. Right and left are
    // the person's own in frames as the camera takes them, not as a
    // mirrored preview shows them.
    const cv::Mat astronaut = picture("astronaut.png");
    cv::Mat mirrored;
    cv::flip(astronaut, mirrored, 1);
    const auto faces = detector->detectFacesWithKeypoints(rasterFromMat(astronaut));
    const auto mirroredFaces = detector->detectFacesWithKeypoints(rasterFromMat(mirrored));
    ASSERT_EQ(faces.size(), 1u);
    ASSERT_EQ(mirroredFaces.size(), 1u);
    expectAFacesLayout(mirroredFaces[0]);
    using K = EKYCDetectedFace;
    const auto exchanged = [](int k) {
        return k == K::rightEye   ? K::leftEye
               : k == K::leftEye  ? K::rightEye
               : k == K::rightEar ? K::leftEar
               : k == K::leftEar  ? K::rightEar
                                  : k;
    };
    for (int k = 0; k < K::keypointCount; ++k) {
        // The ears, half hidden, are placed less surely.
        const double tolerance = faces[0].box.width * (k == K::rightEar || k == K::leftEar ? 0.15 : 0.08);
        const auto& original = faces[0].keypoints[static_cast<std::size_t>(exchanged(k))];
        EXPECT_NEAR(mirroredFaces[0].keypoints[static_cast<std::size_t>(k)].x, astronaut.cols - original.x,
                    tolerance)
            << k;
        EXPECT_NEAR(mirroredFaces[0].keypoints[static_cast<std::size_t>(k)].y, original.y, tolerance) << k;
    }
    EXPECT_LT(mirroredFaces[0].point(K::rightEye).x, mirroredFaces[0].point(K::leftEye).x);
}

TEST(BlazeFaceKeypoints, PointsFollowTheFaceThroughTheLetterBox) {
    auto detector = EKYCBlazeFaceDetector::embedded();
    if (!detector) GTEST_SKIP() << "built without the BlazeFace model (scripts/fetch-models.sh)";
    // Her head, enlarged to 480 pixels, on its own and then at either end
    // of a landscape and a portrait frame (letter-boxed above and below, or
    // at the sides): the points move with the head.
    cv::Mat head;
    cv::resize(picture("astronaut.png")(cv::Rect(80, 0, 300, 300)), head, cv::Size(480, 480), 0, 0,
               cv::INTER_LINEAR);
    const auto alone = detector->detectFacesWithKeypoints(rasterFromMat(head));
    ASSERT_EQ(alone.size(), 1u);
    ASSERT_TRUE(alone[0].hasKeypoints());
    const double tolerance = alone[0].box.width * 0.08;
    for (const cv::Size size : {cv::Size(640, 480), cv::Size(480, 640)}) {
        for (const cv::Point offset : {cv::Point(0, 0), cv::Point(size.width - 480, size.height - 480)}) {
            cv::Mat frame(size, CV_8UC3, cv::Scalar(40, 40, 40));
            head.copyTo(frame(cv::Rect(offset, head.size())));
            const auto faces = detector->detectFacesWithKeypoints(rasterFromMat(frame));
            ASSERT_EQ(faces.size(), 1u) << size << offset;
            ASSERT_TRUE(faces[0].hasKeypoints());
            EXPECT_NEAR(faces[0].box.x, alone[0].box.x + offset.x, tolerance) << size << offset;
            EXPECT_NEAR(faces[0].box.y, alone[0].box.y + offset.y, tolerance) << size << offset;
            for (std::size_t k = 0; k < EKYCDetectedFace::keypointCount; ++k) {
                EXPECT_NEAR(faces[0].keypoints[k].x, alone[0].keypoints[k].x + offset.x, tolerance)
                    << size << offset << k;
                EXPECT_NEAR(faces[0].keypoints[k].y, alone[0].keypoints[k].y + offset.y, tolerance)
                    << size << offset << k;
            }
        }
    }
}

TEST(FaceDetectorFailures, AMissingOrDamagedModelFindsNothingWithoutFailing) {
    EKYCHaarFaceDetector missing("/nonexistent/cascade.xml");
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_TRUE(missing.detectFaces(rasterFromMat(picture("astronaut.png"))).empty());
    EKYCBlazeFaceDetector damaged(makeData("not an onnx model"));
    EXPECT_FALSE(damaged.isLoaded());
    EXPECT_TRUE(damaged.detectFaces(rasterFromMat(picture("astronaut.png"))).empty());
    EXPECT_TRUE(damaged.detectFacesWithKeypoints(rasterFromMat(picture("astronaut.png"))).empty());
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

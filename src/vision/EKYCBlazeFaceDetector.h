#pragma once

#include <memory>
#include <vector>

#include "capture/EKYCFaceDetector.h"
#include "ovira/Data.h"

namespace ovira::vision {

// MediaPipe's BlazeFace short-range model (front camera, 128 x 128 input) on
// OpenCV's dnn module. The frame is letter-boxed to a square, the 896 anchors
// of its two feature maps are decoded, scored with a sigmoid against
// `scoreThreshold`, and overlapping boxes are suppressed. Each face comes
// with the model's six key points (eyes, nose tip, mouth, ear tragions),
// which may lie outside the frame when the face is cut by its edge; its box
// is clipped to the frame. One frame at a time.
class EKYCBlazeFaceDetector : public EKYCFaceDetector {
public:
    static constexpr int inputSide = 128;

    // From the model's ONNX bytes; isLoaded() tells whether they made a network.
    explicit EKYCBlazeFaceDetector(const Data& model, float scoreThreshold = 0.6f,
                                   float overlapThreshold = 0.3f);
    ~EKYCBlazeFaceDetector() override;

    // The model embedded in the library, when it was built with one.
    static std::unique_ptr<EKYCBlazeFaceDetector> embedded();
    static bool hasEmbeddedModel();

    bool isLoaded() const;
    // The boxes of detectFacesWithKeypoints().
    std::vector<capture::Rect> detectFaces(const RasterImage& frame) override;
    std::vector<EKYCDetectedFace> detectFacesWithKeypoints(const RasterImage& frame) override;

private:
    struct Network;
    std::unique_ptr<Network> network_;
    float scoreThreshold_;
    float overlapThreshold_;
};

}  // namespace ovira::vision

#pragma once

#include <optional>
#include <vector>

#include "capture/EKYCCaptureHint.h"
#include "capture/EKYCFaceDetector.h"

namespace ovira {

// Turns the faces found in successive live frames of the face screen into
// the one hint the user sees: a face at all, then light, distance, centring,
// the head turned, and last that it is held still. The face looked at is the
// largest. GUI thread (or any one thread).
class EKYCFaceGuidance {
public:
    struct Thresholds {
        // Mean grey inside the face's box below this: more light.
        double minBrightness = 70;
        // The face's width over the circle's diameter: closer below, back above.
        double minSize = 0.42;
        double maxSize = 0.95;
        // The face's centre may lie this share of the radius off the circle's.
        double maxOffset = 0.25;
        // |yaw| above this: look straight at the camera (see yaw()).
        double maxYaw = 0.15;
        // The face's centre may move this share of the diameter between
        // examined frames, for steadyFrames frames in a row.
        double maxShift = 0.03;
        int steadyFrames = 3;
    };

    EKYCFaceGuidance() = default;
    explicit EKYCFaceGuidance(Thresholds thresholds) : thresholds_(thresholds) {}

    // How far the head is turned, from the eyes and the nose: the nose tip's
    // offset from the point between the eyes, over the eyes' distance. About
    // 0 facing the camera, growing to ±0.5 in profile; nothing without key
    // points.
    static std::optional<double> yaw(const EKYCDetectedFace& face);

    // The guidance after one more frame: its faces and the circle's square,
    // both in the frame's pixels.
    EKYCGuidance update(const std::vector<EKYCDetectedFace>& faces, const capture::Rect& circle);
    // The hint this frame alone asks for, before any filtering.
    EKYCCaptureHint hintFor(const EKYCDetectedFace* face, const capture::Rect& circle, bool steady) const;
    void reset();

    const Thresholds& thresholds() const { return thresholds_; }

private:
    Thresholds thresholds_;
    EKYCHintFilter filter_;
    std::optional<capture::Point> lastCentre_;
    int stillFrames_ = 0;
};

}  // namespace ovira

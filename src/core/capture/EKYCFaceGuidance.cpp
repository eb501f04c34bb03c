#include "capture/EKYCFaceGuidance.h"

#include <algorithm>
#include <cmath>

namespace ovira {

namespace {
capture::Point centreOf(const capture::Rect& r) {
    return {r.x + r.width / 2, r.y + r.height / 2};
}
}  // namespace

std::optional<double> EKYCFaceGuidance::yaw(const EKYCDetectedFace& face) {
    if (!face.hasKeypoints()) return std::nullopt;
    const capture::Point& right = face.point(EKYCDetectedFace::rightEye);
    const capture::Point& left = face.point(EKYCDetectedFace::leftEye);
    const capture::Point& nose = face.point(EKYCDetectedFace::noseTip);
    const double dx = left.x - right.x, dy = left.y - right.y;
    const double distance = std::hypot(dx, dy);
    if (distance <= 0) return std::nullopt;
    // The nose's offset along the line through the eyes, so that a tilted
    // head is not taken for a turned one.
    const double along = ((nose.x - (right.x + left.x) / 2) * dx + (nose.y - (right.y + left.y) / 2) * dy) / distance;
    return along / distance;
}

EKYCCaptureHint EKYCFaceGuidance::hintFor(const EKYCDetectedFace* face, const capture::Rect& circle,
                                          bool steady) const {
    const Thresholds& t = thresholds_;
    if (!face || circle.isEmpty()) return EKYCCaptureHint::placeFace;
    if (face->brightness >= 0 && face->brightness < t.minBrightness) return EKYCCaptureHint::moreLight;
    const double size = face->box.width / circle.width;
    if (size < t.minSize) return EKYCCaptureHint::moveCloser;
    if (size > t.maxSize) return EKYCCaptureHint::moveBack;
    const capture::Point at = centreOf(face->box), centre = centreOf(circle);
    if (std::hypot(at.x - centre.x, at.y - centre.y) > t.maxOffset * circle.width / 2)
        return EKYCCaptureHint::centreFace;
    if (const auto turned = yaw(*face); turned && std::abs(*turned) > t.maxYaw) return EKYCCaptureHint::lookStraight;
    if (!steady) return EKYCCaptureHint::holdStill;
    return EKYCCaptureHint::ready;
}

EKYCGuidance EKYCFaceGuidance::update(const std::vector<EKYCDetectedFace>& faces, const capture::Rect& circle) {
    const auto largest = std::max_element(faces.begin(), faces.end(), [](const auto& a, const auto& b) {
        return a.box.width * a.box.height < b.box.width * b.box.height;
    });
    const EKYCDetectedFace* face = largest == faces.end() ? nullptr : &*largest;
    if (face && lastCentre_ && circle.width > 0) {
        const capture::Point at = centreOf(face->box);
        const double shift = std::hypot(at.x - lastCentre_->x, at.y - lastCentre_->y);
        stillFrames_ = shift <= thresholds_.maxShift * circle.width ? stillFrames_ + 1 : 0;
    } else {
        stillFrames_ = 0;
    }
    lastCentre_ = face ? std::optional(centreOf(face->box)) : std::nullopt;
    const EKYCCaptureHint hint = filter_.filter(hintFor(face, circle, stillFrames_ >= thresholds_.steadyFrames));
    return {hint, hint == EKYCCaptureHint::ready || hint == EKYCCaptureHint::holdStill};
}

void EKYCFaceGuidance::reset() {
    filter_.reset();
    lastCentre_.reset();
    stillFrames_ = 0;
}

}  // namespace ovira

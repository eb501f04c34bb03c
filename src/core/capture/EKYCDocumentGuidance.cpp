#include "capture/EKYCDocumentGuidance.h"

#include <algorithm>
#include <cmath>

namespace ovira {

EKYCCaptureHint EKYCDocumentGuidance::hintFor(const EKYCDocumentMeasures& measures, bool steady) const {
    const Thresholds& t = thresholds_;
    if (measures.brightness < t.minBrightness || measures.blackShare > t.maxBlackShare)
        return EKYCCaptureHint::moreLight;
    if (!measures.found) return EKYCCaptureHint::placeDocument;
    if (measures.fill < t.minFill) return EKYCCaptureHint::moveCloser;
    if (measures.fill > t.maxFill) return EKYCCaptureHint::moveBack;
    if (measures.glare > t.maxGlare || measures.burntShare > t.maxBurntShare)
        return EKYCCaptureHint::avoidReflections;
    if (!steady || measures.sharpness < t.minSharpness) return EKYCCaptureHint::holdStill;
    return EKYCCaptureHint::ready;
}

EKYCGuidance EKYCDocumentGuidance::update(const EKYCDocumentMeasures& measures, const capture::Rect& window) {
    if (measures.found && lastCorners_ && window.width > 0) {
        double shift = 0;
        for (std::size_t i = 0; i < 4; ++i)
            shift = std::max(shift, std::hypot(measures.corners[i].x - (*lastCorners_)[i].x,
                                               measures.corners[i].y - (*lastCorners_)[i].y));
        stillFrames_ = shift <= thresholds_.maxShift * window.width ? stillFrames_ + 1 : 0;
    } else {
        stillFrames_ = 0;
    }
    lastCorners_ = measures.found ? std::optional(measures.corners) : std::nullopt;
    // The first frame that finds the card has nothing to compare with; it
    // takes steadyFrames more to call the card still.
    const EKYCCaptureHint hint = filter_.filter(hintFor(measures, stillFrames_ >= thresholds_.steadyFrames));
    return {hint, hint == EKYCCaptureHint::ready || hint == EKYCCaptureHint::holdStill};
}

void EKYCDocumentGuidance::reset() {
    filter_.reset();
    lastCorners_.reset();
    stillFrames_ = 0;
}

}  // namespace ovira

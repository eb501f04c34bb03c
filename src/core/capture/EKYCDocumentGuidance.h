#pragma once

#include <array>
#include <optional>

#include "capture/EKYCCaptureHint.h"
#include "capture/EKYCDocumentExaminer.h"

namespace ovira {

// Turns the measures of successive live frames of a card screen into the
// one hint the user sees. The order says what matters first: light, then a
// card in the window, its size, glare, and last that it is held still and
// sharp. GUI thread (or any one thread).
class EKYCDocumentGuidance {
public:
    struct Thresholds {
        // Mean grey over the window below this, or more black than this: more light.
        double minBrightness = 70;
        double maxBlackShare = 0.4;
        // The card's width over the window's: closer below, back above.
        double minFill = 0.85;
        double maxFill = 1.04;
        // Share of the card washed out, or of the window burnt: reflections.
        double maxGlare = 0.02;
        double maxBurntShare = 0.3;
        // Variance of the Laplacian in the live frame below this: blurred.
        double minSharpness = 60;
        // The corners may move this share of the window's width between
        // examined frames, for steadyFrames frames in a row.
        double maxShift = 0.015;
        int steadyFrames = 3;
    };

    EKYCDocumentGuidance() = default;
    explicit EKYCDocumentGuidance(Thresholds thresholds) : thresholds_(thresholds) {}

    // The guidance after one more frame's measures, taken within `window`
    // (the card window in the frame's pixels).
    EKYCGuidance update(const EKYCDocumentMeasures& measures, const capture::Rect& window);
    // The hint this frame alone asks for, before any filtering; steady is
    // whether the card has been still long enough.
    EKYCCaptureHint hintFor(const EKYCDocumentMeasures& measures, bool steady) const;
    // Forgets the frames seen (the screen shows again, the camera switched).
    void reset();

    const Thresholds& thresholds() const { return thresholds_; }

private:
    Thresholds thresholds_;
    EKYCHintFilter filter_;
    std::optional<std::array<capture::Point, 4>> lastCorners_;
    int stillFrames_ = 0;
};

}  // namespace ovira

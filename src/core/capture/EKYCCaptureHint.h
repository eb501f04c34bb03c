#pragma once

#include <optional>

namespace ovira {

// The one thing the capture screen asks of the user while they hold the
// document or their face to the camera.
enum class EKYCCaptureHint {
    ready,             // good and steady: the photograph can be taken
    placeDocument,     // no card in the window
    placeFace,         // no face in the frame
    moveCloser,        // the card or the face is too small
    moveBack,          // the card or the face is too large
    centreFace,        // the face is off the circle's centre
    lookStraight,      // the face is turned away
    avoidReflections,  // glare washes out part of the card
    moreLight,         // too dark
    holdStill,         // moving or blurred
};

// The key of the hint's text in the "Localizable" table ("capture.hint.ready").
const char* textKey(EKYCCaptureHint hint);
// Its name for reports ("moveCloser").
const char* toString(EKYCCaptureHint hint);

// What the live examination of the last frames says.
struct EKYCGuidance {
    EKYCCaptureHint hint = EKYCCaptureHint::placeDocument;
    // The card or face is where it should be, lit and unglared: the window's
    // outline turns to its "well placed" colour. Steadiness may still lack.
    bool wellPlaced = false;
    bool isReady() const { return hint == EKYCCaptureHint::ready; }
    friend bool operator==(const EKYCGuidance&, const EKYCGuidance&) = default;
};

// Keeps one hint on screen until another has been seen on `frames`
// consecutive frames, so that a measure hovering at a threshold does not
// make the hint flicker.
class EKYCHintFilter {
public:
    explicit EKYCHintFilter(int frames = 2) : frames_(frames) {}
    // The hint to show after a frame whose own hint is `seen`; the first
    // frame's hint shows at once.
    EKYCCaptureHint filter(EKYCCaptureHint seen);
    void reset();

private:
    int frames_;
    std::optional<EKYCCaptureHint> shown_;
    EKYCCaptureHint candidate_ = EKYCCaptureHint::ready;
    int candidateFrames_ = 0;
};

}  // namespace ovira

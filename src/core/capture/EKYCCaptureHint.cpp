#include "capture/EKYCCaptureHint.h"

namespace ovira {

const char* textKey(EKYCCaptureHint hint) {
    switch (hint) {
        case EKYCCaptureHint::ready:
            return "capture.hint.ready";
        case EKYCCaptureHint::placeDocument:
            return "capture.hint.place_document";
        case EKYCCaptureHint::placeFace:
            return "capture.hint.place_face";
        case EKYCCaptureHint::moveCloser:
            return "capture.hint.move_closer";
        case EKYCCaptureHint::moveBack:
            return "capture.hint.move_back";
        case EKYCCaptureHint::centreFace:
            return "capture.hint.centre_face";
        case EKYCCaptureHint::lookStraight:
            return "capture.hint.look_straight";
        case EKYCCaptureHint::avoidReflections:
            return "capture.hint.avoid_reflections";
        case EKYCCaptureHint::moreLight:
            return "capture.hint.more_light";
        case EKYCCaptureHint::holdStill:
            return "capture.hint.hold_still";
    }
    return "capture.hint.ready";
}

const char* toString(EKYCCaptureHint hint) {
    switch (hint) {
        case EKYCCaptureHint::ready:
            return "ready";
        case EKYCCaptureHint::placeDocument:
            return "placeDocument";
        case EKYCCaptureHint::placeFace:
            return "placeFace";
        case EKYCCaptureHint::moveCloser:
            return "moveCloser";
        case EKYCCaptureHint::moveBack:
            return "moveBack";
        case EKYCCaptureHint::centreFace:
            return "centreFace";
        case EKYCCaptureHint::lookStraight:
            return "lookStraight";
        case EKYCCaptureHint::avoidReflections:
            return "avoidReflections";
        case EKYCCaptureHint::moreLight:
            return "moreLight";
        case EKYCCaptureHint::holdStill:
            return "holdStill";
    }
    return "unknown";
}

EKYCCaptureHint EKYCHintFilter::filter(EKYCCaptureHint seen) {
    if (!shown_ || seen == *shown_) {
        shown_ = seen;
        candidateFrames_ = 0;
        return seen;
    }
    candidateFrames_ = seen == candidate_ ? candidateFrames_ + 1 : 1;
    candidate_ = seen;
    if (candidateFrames_ >= frames_) {
        shown_ = seen;
        candidateFrames_ = 0;
    }
    return *shown_;
}

void EKYCHintFilter::reset() {
    shown_.reset();
    candidateFrames_ = 0;
}

}  // namespace ovira

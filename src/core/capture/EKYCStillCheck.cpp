#include "capture/EKYCStillCheck.h"

#include <algorithm>

namespace ovira {

const char* textKey(EKYCStillRefusal refusal) {
    switch (refusal) {
        case EKYCStillRefusal::tooFewPixels:
            return "capture.refusal.too_few_pixels";
        case EKYCStillRefusal::tooDark:
            return "capture.refusal.too_dark";
        case EKYCStillRefusal::tooBright:
            return "capture.refusal.too_bright";
        case EKYCStillRefusal::blurred:
            return "capture.refusal.blurred";
        case EKYCStillRefusal::faceTooSmall:
            return "capture.refusal.face_too_small";
    }
    return "capture.refusal.blurred";
}

const char* toString(EKYCStillRefusal refusal) {
    switch (refusal) {
        case EKYCStillRefusal::tooFewPixels:
            return "tooFewPixels";
        case EKYCStillRefusal::tooDark:
            return "tooDark";
        case EKYCStillRefusal::tooBright:
            return "tooBright";
        case EKYCStillRefusal::blurred:
            return "blurred";
        case EKYCStillRefusal::faceTooSmall:
            return "faceTooSmall";
    }
    return "unknown";
}

EKYCStillCheck::EKYCStillCheck(std::shared_ptr<EKYCDocumentExaminer> examiner,
                               std::shared_ptr<EKYCFaceDetector> detector, Thresholds thresholds)
    : examiner_(std::move(examiner)), detector_(std::move(detector)), thresholds_(thresholds) {}

EKYCStillMeasures EKYCStillCheck::measure(const RasterImage& photo, bool isDocument) const {
    EKYCStillMeasures measures;
    measures.width = photo.width();
    measures.height = photo.height();
    if (photo.isEmpty()) return measures;
    const capture::Rect whole{0, 0, double(photo.width()), double(photo.height())};
    if (examiner_) {
        measures.image = examiner_->examine(photo, whole);
        measures.examined = true;
    }
    if (!isDocument && detector_) {
        const auto faces = detector_->detectFaces(photo);
        measures.faces = static_cast<int>(faces.size());
        for (const capture::Rect& face : faces)
            measures.faceWidthShare = std::max(measures.faceWidthShare, face.width / photo.width());
    }
    return measures;
}

std::optional<EKYCStillRefusal> EKYCStillCheck::judge(const EKYCStillMeasures& m, bool isDocument) const {
    const Thresholds& t = thresholds_;
    if (isDocument ? m.width < t.minCardWidth : std::min(m.width, m.height) < t.minFaceSide)
        return EKYCStillRefusal::tooFewPixels;
    // Nothing measured (no examiner): nothing more to say.
    if (!m.examined) return std::nullopt;
    if (m.image.brightness < t.minBrightness || m.image.blackShare > t.maxBlackShare)
        return EKYCStillRefusal::tooDark;
    if (m.image.brightness > t.maxBrightness || m.image.burntShare > t.maxBurntShare)
        return EKYCStillRefusal::tooBright;
    if (isDocument && m.image.sharpness < t.minSharpness) return EKYCStillRefusal::blurred;
    if (!isDocument && m.faces > 0 && m.faceWidthShare < t.minFaceWidthShare) return EKYCStillRefusal::faceTooSmall;
    return std::nullopt;
}

}  // namespace ovira

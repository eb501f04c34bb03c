#pragma once

#include <memory>
#include <optional>

#include "capture/EKYCDocumentExaminer.h"
#include "capture/EKYCFaceDetector.h"

namespace ovira {

// Why a photograph was refused on the device, before any upload.
enum class EKYCStillRefusal {
    tooFewPixels,  // the camera gave too few pixels for the document or face
    tooDark,
    tooBright,
    blurred,
    faceTooSmall,
};

// The key of the refusal's text in the "Localizable" table.
const char* textKey(EKYCStillRefusal refusal);
// Its name for reports ("tooDark").
const char* toString(EKYCStillRefusal refusal);

// What the check measured of a photograph.
struct EKYCStillMeasures {
    int width = 0;
    int height = 0;
    // Over the whole photograph (the card's outline, its light and
    // sharpness), when an examiner looked at it.
    bool examined = false;
    EKYCDocumentMeasures image;
    // Face photographs: the faces found and the widest one's width over the
    // photograph's; -1 and 0 for documents.
    int faces = -1;
    double faceWidthShare = 0;
};

// Refuses, on the device, a photograph that the service would refuse
// anyway, so that the user hears why at once instead of after an upload.
// The limits sit just beyond the service's own, measured the same way, so
// that what the service would accept is never refused here: the check may
// let a poor photograph through, never stop a good one. Any thread, one
// photograph at a time.
class EKYCStillCheck {
public:
    struct Thresholds {
        // The service's: 1000 pixels across a card, 200 on a face
        // photograph's short side (sizes survive the upload unchanged).
        int minCardWidth = 1000;
        int minFaceSide = 200;
        // The service's: mean grey 50..215 with at most half black and 35 %
        // burnt; Laplacian variance 50; a face 0.15 of the width. The card's
        // share of the photograph is left to the live guidance: the service
        // finds a card's outline on some photographs and not on others, and
        // takes a card without one to fill the photograph, so refusing a
        // small card here would refuse some that the service accepts.
        double minBrightness = 44;
        double maxBrightness = 222;
        double maxBlackShare = 0.56;
        double maxBurntShare = 0.42;
        double minSharpness = 38;
        double minFaceWidthShare = 0.11;
    };

    // Without a detector, faces are not looked for (only light and size).
    EKYCStillCheck(std::shared_ptr<EKYCDocumentExaminer> examiner, std::shared_ptr<EKYCFaceDetector> detector,
                   Thresholds thresholds);
    EKYCStillCheck(std::shared_ptr<EKYCDocumentExaminer> examiner, std::shared_ptr<EKYCFaceDetector> detector)
        : EKYCStillCheck(std::move(examiner), std::move(detector), Thresholds{}) {}

    EKYCStillMeasures measure(const RasterImage& photo, bool isDocument) const;
    std::optional<EKYCStillRefusal> judge(const EKYCStillMeasures& measures, bool isDocument) const;

    const Thresholds& thresholds() const { return thresholds_; }

private:
    std::shared_ptr<EKYCDocumentExaminer> examiner_;
    std::shared_ptr<EKYCFaceDetector> detector_;
    Thresholds thresholds_;
};

}  // namespace ovira

#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "Messages.h"

namespace ovira::devserver {

// What the judge found in a photo; `rejection` is empty when it passes.
struct Verdict {
    std::optional<Message> rejection;
    int width = 0;
    int height = 0;
    double sharpness = 0;   // variance of the Laplacian, measured at most 1000 pixels wide
    double brightness = 0;  // mean grey level, 0..255
    double burntShare = 0;  // share of pixels at 250 or above
    double blackShare = 0;  // share of pixels at 5 or below
    int faces = 0;
    double faceWidthShare = 0;  // widest face / image width
    // Width of the card's outline / image width; 0 when no outline of a card
    // was found (the card then fills the photo, or the scene is no card).
    double cardWidthShare = 0;
};

// Judges uploaded photographs the way the real service would refuse bad ones,
// so that a client's retry paths get exercised with real images.
class PhotoJudge {
public:
    static constexpr const char* kDefaultCascade =
        "/usr/share/opencv4/haarcascades/haarcascade_frontalface_default.xml";

    // Calibrated on a card drawn at 1000×631 (sharpness 3320, falling to 156,
    // 46 and 3 under Gaussian blurs of sigma 1, 1.5 and 3; mean grey 189 with
    // 1% burnt, 57 at 0.3× exposure, 28 at 0.15×, 65% burnt when lifted by 30)
    // and on astronaut.png (sharpness 840, 130 when upscaled to card size;
    // its face is 19% of the width).
    struct Thresholds {
        double cardAspect = 85.6 / 53.98;
        double aspectTolerance = 0.15;
        // A document reader needs about 300 dots per inch, which is 1011
        // pixels across an ID-1 card; narrower photos have too few pixels for
        // the card's small print.
        int minCardWidth = 1000;
        // The card's outline must span this share of the photo's width, so
        // that the pixels are spent on the card rather than on the desk.
        double minCardWidthShare = 0.8;
        // An outline counts as a card when its proportions are within this
        // share of cardAspect: generous, for perspective and rounded corners.
        double outlineAspectTolerance = 0.25;
        double minSharpness = 50;
        double minBrightness = 50;
        double maxBrightness = 215;
        double maxBlackShare = 0.5;
        double maxBurntShare = 0.35;
        int minFaceImageSide = 200;
        double minFaceWidthShare = 0.15;
        // Faces down to this share of the width are still found, so that a
        // small face is reported as such rather than as no face at all.
        double detectFaceWidthShare = 0.05;
    };

    PhotoJudge();
    explicit PhotoJudge(const std::filesystem::path& cascadeFile);
    PhotoJudge(const std::filesystem::path& cascadeFile, Thresholds thresholds);
    ~PhotoJudge();
    PhotoJudge(const PhotoJudge&) = delete;
    PhotoJudge& operator=(const PhotoJudge&) = delete;

    // A side of an ID-1 sized document (identity card, driving licence) or a
    // passport's photo page, which has nearly the same proportions.
    Verdict judgeDocument(std::string_view encoded) const;
    Verdict judgeFace(std::string_view encoded) const;

    const Thresholds& thresholds() const { return thresholds_; }

private:
    struct Detector;
    Thresholds thresholds_;
    std::unique_ptr<Detector> detector_;
};

}  // namespace ovira::devserver

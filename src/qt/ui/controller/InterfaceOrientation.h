#pragma once

namespace ovira {

enum class InterfaceOrientation {
    portrait = 1,
    portraitUpsideDown = 2,
    landscapeRight = 3,
    landscapeLeft = 4
};

// Sets of orientations, with the bit values phone toolkits use.
enum InterfaceOrientationMask : unsigned {
    orientationMaskPortrait = 2,
    orientationMaskPortraitUpsideDown = 4,
    orientationMaskLandscapeRight = 8,
    orientationMaskLandscapeLeft = 16,
    orientationMaskLandscape = 24,
    orientationMaskAllButUpsideDown = 26,
    orientationMaskAll = 30,
};

// The kind of device the library runs on: a tablet when the primary screen's
// shorter side is at least 600 points.
enum class UserInterfaceIdiom { phone, pad };
UserInterfaceIdiom currentUserInterfaceIdiom();

}  // namespace ovira

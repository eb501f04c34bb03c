#pragma once

#include <QString>
#include <optional>

namespace ovira {

// What the capture controls ask of their screen. GUI thread.
class EKYCAccessoryCameraViewViewDelegate {
public:
    virtual ~EKYCAccessoryCameraViewViewDelegate() = default;

    virtual void didSelectGuide() = 0;
    virtual void didSelectClose() = 0;
    // The torch should go on (true) or off.
    virtual void didToggleFlash(bool isOn) = 0;
    virtual void didSelectCapture() = 0;
    virtual void didSelectSwitchCamera() = 0;
    // The user stopped the automatic capture's countdown.
    virtual void didSelectStopAutoCapture() {}
    // The screen's title.
    virtual std::optional<QString> captureTitle() = 0;
    // True on document screens.
    virtual bool isCardMode() = 0;
};

}  // namespace ovira

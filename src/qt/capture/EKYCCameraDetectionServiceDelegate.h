#pragma once

#include <functional>

#include "capture/EKYCCaptureHint.h"
#include "platform/Image.h"

namespace ovira {

// What the camera service tells its capture screen.
class EKYCCameraDetectionServiceDelegate {
public:
    virtual ~EKYCCameraDetectionServiceDelegate() = default;

    // The photograph, cropped to the window and scaled. On the capture
    // thread, never the GUI thread, so the upload may run right here.
    // Replacing or clearing the delegate waits for this call to return: do
    // not wait for the GUI thread from it.
    virtual void didCaptureImage(ImagePtr image) = 0;
    // The photograph handed over as work that runs on the capture thread
    // after this returns, when the delegate may already be gone: the work
    // holds all it needs. Replacing or clearing the delegate waits only for
    // this call. By default the photograph goes to didCaptureImage() here and
    // no work is left.
    virtual std::function<void()> workForCapturedImage(ImagePtr image) {
        didCaptureImage(std::move(image));
        return {};
    }
    // True on document screens. GUI thread.
    virtual bool isCardMode() = 0;
    // Whether the face just examined lies inside the circle. GUI thread.
    virtual void didValidateFace(bool isValid) = 0;
    // What the live frames examined so far ask of the user, after every
    // examined frame (faces on the face screen, the card on card screens).
    // GUI thread.
    virtual void didUpdateGuidance(const EKYCGuidance& guidance) { (void)guidance; }
    // The photograph asked for yielded no image (no still, or nothing left
    // after cropping). The session is stopped; restart it to try again.
    // GUI thread.
    virtual void didFailCapture() = 0;
};

}  // namespace ovira

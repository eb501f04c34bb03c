#pragma once

#include <string>

#include "ovira/EKYCAPIError.h"

namespace ovira {

/// The steps of the flow, in the order a user meets them.
enum class OVIRAFlowStep {
    chooseDocument,   ///< the document choice, the flow's first screen
    documentGuide,    ///< how to photograph a document
    captureFront,     ///< the identity card's or driving licence's front
    captureBack,      ///< its back
    capturePassport,  ///< the passport's photo page
    faceGuide,        ///< how to photograph the face
    captureFace,      ///< the face, watched by the live face check
    confirm,          ///< the photographs, for the user to confirm
    identityForm,     ///< the identity data the service read, to correct and submit
};

/// "chooseDocument", "captureFront", ...
const char* toString(OVIRAFlowStep step);

/// The domain of the errors OVIRADelegate::didEKYCFail() reports when the
/// camera cannot be used, and their codes. Failures of the service carry the
/// domain EKYCAPIError::domainName and the service's or the client's code.
inline constexpr const char* kCameraErrorDomain = "ai.qorix.sdk.camera";
inline constexpr int kCameraAccessDenied = 1;      ///< the user refused the camera
inline constexpr int kCameraAccessRestricted = 2;  ///< the device does not allow the camera

/// One photograph taken on a capture step and what became of it, for hosts
/// that want to see where users struggle. It holds measures and outcomes
/// only: never the photograph, never identity data.
struct OVIRACaptureAttempt {
    /// What became of the photograph.
    enum class Outcome {
        refusedOnDevice,    ///< failed the device's check; not uploaded
        acceptedByService,  ///< passed the device's check and the service's
        refusedByService,   ///< passed the device's check; the service refused it
        notJudged,          ///< uploaded, but no verdict came (network, session)
    };

    OVIRAFlowStep step = OVIRAFlowStep::captureFront;  ///< the capture step it was taken on
    Outcome outcome = Outcome::notJudged;              ///< what became of it
    /// Why the device refused it ("tooDark", "blurred", "tooBright",
    /// "tooFewPixels", "faceTooSmall"); empty otherwise.
    std::string refusal;
    /// The service's error code when it refused the photograph, else 0.
    int serviceErrorCode = 0;
    /// Taken by the automatic capture rather than by the user's press.
    bool autoCaptured = false;
    /// Seconds from the capture screen showing to this photograph.
    double secondsToCapture = 0;

    int width = 0;              ///< the photograph's width, pixels
    int height = 0;             ///< its height, pixels
    double brightness = 0;      ///< its mean grey level, 0..255
    double sharpness = 0;       ///< the variance of its Laplacian (at most 1000 pixels wide)
    double burntShare = 0;      ///< the share of its pixels at grey 250 or above
    double cardFill = 0;        ///< documents: the card's width over the photograph's; 0 without an outline
    int faces = -1;             ///< faces: how many were found; -1 for documents
    double faceWidthShare = 0;  ///< faces: the widest one's width over the photograph's
};

/// "refusedOnDevice", "acceptedByService", ...
const char* toString(OVIRACaptureAttempt::Outcome outcome);

/// The host's listener for what happens in the flow.
///
/// Every flow that was shown ends with exactly one of the four outcomes:
/// didEKYCSuccessWithSessionId(), didEKYCCancel(), didEKYCEndSession() or
/// didEKYCFail(). Each is called once, on the GUI thread, after the flow has
/// left the screen. All but the success have empty default bodies, so a host
/// overrides only what it needs.
class OVIRADelegate {
public:
    virtual ~OVIRADelegate() = default;

    /// The user submitted their verified identity; sessionId is the session's
    /// transaction identifier (empty if the session was cleared meanwhile).
    virtual void didEKYCSuccessWithSessionId(const std::string& sessionId) = 0;

    /// The user closed the flow before the end.
    virtual void didEKYCCancel() {}

    /// The service ended the session (it no longer accepts it: HTTP 401);
    /// `message` is the service's own, as the user saw it.
    virtual void didEKYCEndSession(const std::string& message) { (void)message; }

    /// The flow closed after a failure it could not get past: the identity
    /// data could not be fetched, or the camera was refused. `error` is the
    /// library's error for it.
    virtual void didEKYCFail(const EKYCAPIError& error) { (void)error; }

    /// The user reached `step`. Called each time the user arrives at a step
    /// other than the one they were on, while the flow is on screen.
    virtual void didEKYCReachStep(OVIRAFlowStep step) { (void)step; }

    /// A photograph was taken on a capture step and judged, on the device
    /// and maybe by the service. Called on the GUI thread once per
    /// photograph, while the flow is on screen.
    virtual void didEKYCCaptureAttempt(const OVIRACaptureAttempt& attempt) { (void)attempt; }
};

}  // namespace ovira

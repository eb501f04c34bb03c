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
};

}  // namespace ovira

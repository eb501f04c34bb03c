#pragma once

namespace ovira {

// Connects the capture screens to the flow: the document choice opens the
// front capture of the chosen document, and the camera is asked for through
// the platform's authorisation unless the host installed its own. Called
// when the flow is built; idempotent. GUI thread.
void installCaptureScreens();

}  // namespace ovira

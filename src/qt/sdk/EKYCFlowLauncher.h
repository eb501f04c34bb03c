#pragma once

class QWidget;

namespace ovira {

class ViewController;

// What OVIRA::start() shows: the flow, as one modal navigation container
// rooted at the document choice, cross-dissolved in over the host's top-most
// screen. The ovira library installs it when it is linked in; with no
// top-most screen nothing is presented and nothing fails. GUI thread.
class EKYCFlowLauncher {
public:
    // Presents the flow; returns the container, or null when there is
    // nowhere to present it.
    static ViewController* launch();

    // The screen to present over: the active modal widget, else the active
    // window, else the first visible window; then down through navigation
    // containers (their visible screen) and presentations (the presented
    // screen). A host window that is not a library screen gets an invisible
    // anchor screen to present from.
    static ViewController* topMostViewController();

    // Installs launch() as the flow launcher (done when the library loads).
    static void install();

    EKYCFlowLauncher() = delete;
};

}  // namespace ovira

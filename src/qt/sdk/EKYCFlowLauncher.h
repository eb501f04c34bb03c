#pragma once

class QWidget;

namespace ovira {

class ViewController;

// Shows the flow: one modal navigation container rooted at the document
// choice, cross-dissolved in over a screen of the host, and watched until it
// has gone so that the host hears its outcome (EKYCFlowReport). The ovira
// library installs launch() as OVIRA::start()'s launcher when it is linked
// in; with no top-most screen nothing is presented and nothing fails. GUI
// thread.
class EKYCFlowLauncher {
public:
    // Presents the flow over the host's top-most screen; returns the
    // container, or null when there is nowhere to present it or a flow is on
    // screen already.
    static ViewController* launch();

    // Presents the flow over `presenter`; null when a flow is on screen already.
    static ViewController* launchOver(ViewController* presenter);

    // Presents `flow` (a container with the flow's first screen) over
    // `presenter` and watches it until it has gone; false, and nothing is
    // shown, while another flow is on screen.
    static bool presentFlow(ViewController* presenter, ViewController* flow, bool animated);

    // Presents the flow inside `parent`, filling it: its dialogs and sheets
    // stay inside too. Null when a flow is on screen already.
    static ViewController* launchInside(QWidget* parent);

    // The flow on screen, or null.
    static ViewController* currentFlow();

    // The screen to present over: the active modal widget, else the active
    // window, else the first visible window; then down through navigation
    // containers (their visible screen) and presentations (the presented
    // screen) with topOf(). A host window that is not a library screen gets an invisible
    // anchor screen to present from.
    static ViewController* topMostViewController();

    // The screen shown on top, from `screen` down through navigation
    // containers and presentations.
    static ViewController* topOf(ViewController* screen);

    // The screen to present from inside `widget`: a library screen that is
    // the widget or fills it, else an invisible anchor screen in it.
    static ViewController* screenOf(QWidget* widget);

    // Installs launch() as the flow launcher (done when the library loads).
    static void install();

    EKYCFlowLauncher() = delete;
};

}  // namespace ovira

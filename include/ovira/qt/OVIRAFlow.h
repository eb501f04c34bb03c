#pragma once

#include <QString>

#include "ovira/qt/OVIRATheme.h"

class QWidget;

namespace ovira {

/// What OVIRAFlow::presentOver() and OVIRAFlow::embedIn() report.
struct OVIRAPresentation {
    /// Whether the flow was shown, or why not.
    enum class Status {
        shown,           ///< the flow is on screen
        notOnGuiThread,  ///< called from a thread other than the GUI thread
        alreadyShowing,  ///< a flow is on screen already
        noWidget,        ///< no widget was given
        notVisible,      ///< the widget given is not visible
    };
    /// Whether the flow was shown, or why not.
    Status status = Status::shown;
    /// Why the flow was not shown, in English; empty when it was.
    QString error;

    /// Whether the flow is on screen.
    bool shown() const { return status == Status::shown; }
    /// shown().
    explicit operator bool() const { return shown(); }
};

/// The flow, placed where the host says. GUI thread only, except where noted.
///
///     auto shown = ovira::OVIRAFlow::embedIn(ui->verificationPanel);
///     if (!shown) qWarning() << shown.error;
///
/// Each call that shows the flow starts a new session, as OVIRA::start()
/// does, and the flow ends with one outcome reported to the delegate
/// (OVIRADelegate). A call that is refused changes nothing: no session is
/// started and nothing is shown.
class OVIRAFlow {
public:
    /// Shows the flow over `window`'s whole area (any widget of the window
    /// will do), covering the host's content until it closes.
    static OVIRAPresentation presentOver(QWidget* window);

    /// Shows the flow inside `parent`, filling it and following its size; the
    /// rest of the host's window stays usable. The flow's dialogs and sheets
    /// stay inside `parent` too.
    static OVIRAPresentation embedIn(QWidget* parent);

    /// True while a flow is on screen. Any thread.
    static bool isShowing();

    /// Closes the flow on screen, if any (a kiosk's inactivity time-out, say),
    /// and forgets its session; the delegate hears didEKYCCancel() once it
    /// has gone. Any thread: from another thread the flow closes at the GUI
    /// thread's next turn.
    static void close();

    /// The look of flows shown from now on. Any thread.
    static void setTheme(const OVIRATheme& theme);
    /// The look set with setTheme(); the library's own until then. Any thread.
    static OVIRATheme theme();

    OVIRAFlow() = delete;
};

}  // namespace ovira

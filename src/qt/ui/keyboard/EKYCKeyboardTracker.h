#pragma once

#include <QObject>
#include <QRectF>

namespace ovira {

// Follows the on-screen keyboard through QInputMethod and says, on the GUI
// thread's queue, where the keyboard now is and how
// long to take to move along with it. Changes within one turn of the queue
// make one update, with where the keyboard is when it is delivered.
class EKYCKeyboardTracker : public QObject {
    Q_OBJECT
public:
    // Animation option bits, as a phone toolkit numbers them: ease-out,
    // starting from wherever the moving view is.
    static constexpr quint64 beginFromCurrentState = 4;
    static constexpr quint64 curveEaseOut = 131072;
    static constexpr double defaultDuration = 0.25;

    struct Animation {
        quint64 options = curveEaseOut | beginFromCurrentState;
        double duration = defaultDuration;
        QRectF frame;  // the keyboard's frame; empty while it is hidden
    };

    // Starts following QInputMethod and the application's active state.
    explicit EKYCKeyboardTracker(QObject* parent = nullptr);

    bool isPaused = false;  // set by the owner while its screen is away
    bool isAutomaticallyPaused() const { return automaticallyPaused_; }
    bool keyboardShowing() const { return !frame_.isEmpty(); }
    bool hasPendingAdjustRequest() const { return pending_; }

    // The application became inactive / active again.
    void pause() { automaticallyPaused_ = true; }
    void resume() { automaticallyPaused_ = false; }

    // The keyboard now covers `frame` (empty: it is hidden). Ignored while
    // paused; an unchanged frame says nothing.
    void keyboardDidChange(const QRectF& frame);

Q_SIGNALS:
    void keyboardTrackerDidUpdate(const EKYCKeyboardTracker::Animation& animation);

private:
    bool automaticallyPaused_ = false;
    QRectF frame_;
    bool pending_ = false;
};

}  // namespace ovira

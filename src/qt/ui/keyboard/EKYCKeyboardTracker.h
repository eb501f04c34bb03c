#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QVariant>
#include <optional>

namespace ovira {

// Follows the on-screen keyboard and tells one delegate, on the GUI
// thread's queue, where the keyboard now is and how to animate with it.
// Updates are coalesced: while one is queued, further requests are dropped
// and the queued one keeps the snapshot taken when it was requested.
class EKYCKeyboardTracker : public QObject {
    Q_OBJECT
public:
    // Animation option bits, as a phone toolkit numbers them.
    static constexpr quint64 beginFromCurrentState = 4;
    static constexpr quint64 curveEaseOut = 131072;
    static constexpr double defaultDuration = 0.25;

    struct Animation {
        quint64 options = 0;
        double duration = 0;
        QRectF frame;  // the keyboard's end frame; empty while it is hidden
    };

    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void keyboardTrackerDidUpdate(const Animation& animation) = 0;
    };

    // What a keyboard notification carries; each part may be missing, and
    // the duration may be of the wrong type.
    struct Notification {
        std::optional<quint64> curve;
        QVariant duration;
        std::optional<QRectF> endFrame;
    };

    // Starts following QInputMethod and the application's active state.
    explicit EKYCKeyboardTracker(QObject* parent = nullptr);
    ~EKYCKeyboardTracker() override;

    // Held weakly: the delegate must be a QObject as well.
    void setDelegate(Delegate* delegate);

    bool isPaused = false;  // set by the owner while its screen is away
    bool isAutomaticallyPaused() const { return automaticallyPaused_; }
    bool keyboardShowing() const { return showing_; }
    QRectF keyboardFrame() const { return frame_; }
    bool hasPendingAdjustRequest() const { return pending_; }
    std::optional<quint64> animationCurve() const { return curve_; }
    std::optional<double> animationDuration() const { return duration_; }

    // The application became inactive / active again.
    void pause() { automaticallyPaused_ = true; }
    void resume() { automaticallyPaused_ = false; }

    // Keyboard notifications.
    void keyboardWillChangeFrame(const Notification&) {}
    void keyboardWillShow(const std::optional<Notification>& notification);
    void keyboardDidShow(const std::optional<Notification>& notification);
    void keyboardWillHide(const std::optional<Notification>& notification);
    void keyboardDidHide(const std::optional<Notification>& notification);

private:
    void readAnimation(const Notification& notification);
    void requestAdjust();
    void onInputMethodChanged();

    QPointer<QObject> delegateObject_;
    Delegate* delegate_ = nullptr;
    bool automaticallyPaused_ = false;
    bool showing_ = false;
    QRectF frame_;
    bool pending_ = false;
    std::optional<quint64> curve_;
    std::optional<double> duration_;
    bool inputVisible_ = false;
};

}  // namespace ovira

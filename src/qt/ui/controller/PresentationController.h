#pragma once

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>
#include <optional>

namespace ovira {

class ViewController;

// One presentation of a screen over another, and the layer it lives in: the
// layer covers the presenting screen's host widget and follows its size,
// dims what lies under the presentation by its dimming colour, and takes
// every press so that nothing under it reacts; a tap on the layer itself
// goes to containerTapped(). Tab and Shift+Tab cycle through the controls
// inside it, as in a modal dialog; only a flow embedded in a host's panel
// lets the keyboard out to the host's other controls.
//
// A presentation has a progress: 0 before the screen is shown and after it
// has gone, 1 while it is shown; presenting and dismissing animate it, and
// a drag may set it directly. The base shows the screen over the whole
// layer, sliding up from the bottom edge or fading in, as the screen's
// transition style says. It lives as long as the presentation.
class PresentationController : public QWidget {
    Q_OBJECT
public:
    PresentationController(ViewController* presented, ViewController* presenting);
    ~PresentationController() override;

    ViewController* presentedViewController() const;
    ViewController* presentingViewController() const;

    virtual QRect frameOfPresentedViewInContainerView() const { return rect(); }
    // Places the presented view again: the layer changed size, the presented
    // view asked for another, or what decides the frame did.
    void containerViewDidLayoutSubviews() { applyProgress(progress_); }

    double progress() const { return progress_; }
    void setProgress(double progress);
    // Runs the progress to `target` over the transition's duration, or at
    // once when not animated; `done` runs when it gets there. Another run,
    // or finishTransition(), first completes the one under way.
    void animateTo(double target, bool animated, std::function<void()> done = {});
    void finishTransition();

    QColor dimming() const { return dimming_; }

    virtual void presentationTransitionWillBegin() {}
    // The layer is about to take `size`.
    virtual void viewWillTransitionToSize(QSize size) { Q_UNUSED(size); }
    // A press and release on the layer, outside anything that took them.
    virtual void containerTapped(QPoint position) { Q_UNUSED(position); }

protected:
    // Draws the presentation at `progress`.
    virtual void applyProgress(double progress);
    virtual int transitionDurationMs() const { return 300; }
    // Dims what lies under the presentation: `color` at `alpha` times its own opacity.
    void setDimming(QColor color, double alpha);

    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class ViewController;
    // Makes the layer a child of `host`, covering it.
    void attach(QWidget* host);

    QPointer<ViewController> presented_;
    QPointer<ViewController> presenting_;
    double progress_ = 0;
    QPointer<QVariantAnimation> animation_;
    std::function<void()> done_;
    std::optional<QPoint> pressedAt_;
    QColor dimming_ = Qt::transparent;
};

}  // namespace ovira

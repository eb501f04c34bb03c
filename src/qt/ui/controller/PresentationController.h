#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>

#include <QVariantAnimation>

namespace ovira {

class ViewController;

// Lays out one presentation of a screen over another and draws its
// transitions. A presentation has a progress: 0 before the screen is shown
// and after it has gone, 1 while it is shown; presenting and dismissing
// animate it, and a drag may set it directly. The base shows the screen over
// the whole layer, sliding up from the bottom edge or fading in, as the
// screen's transition style says. It lives as long as the presentation.
class PresentationController : public QObject {
    Q_OBJECT
public:
    PresentationController(ViewController* presented, ViewController* presenting);
    ~PresentationController() override;

    ViewController* presentedViewController() const;
    ViewController* presentingViewController() const;
    // The layer the presentation lives in; absent before it begins.
    QWidget* containerView() const { return container_; }

    virtual QRect frameOfPresentedViewInContainerView() const;
    // Places the presented view again: the layer changed size, or what
    // decides the frame did.
    virtual void containerViewDidLayoutSubviews();

    double progress() const { return progress_; }
    void setProgress(double progress);
    // Runs the progress to `target` over the transition's duration, or at
    // once when not animated; `done` runs when it gets there. Another run,
    // or finishTransition(), first completes the one under way.
    void animateTo(double target, bool animated, std::function<void()> done = {});
    void finishTransition();

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

private:
    friend class ViewController;
    QPointer<ViewController> presented_;
    QPointer<ViewController> presenting_;
    QPointer<QWidget> container_;
    double progress_ = 0;
    QPointer<QVariantAnimation> animation_;
    std::function<void()> done_;
};

}  // namespace ovira

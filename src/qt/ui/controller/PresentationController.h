#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include "ui/controller/TransitionContext.h"

namespace ovira {

class ViewController;

// Lays out one presentation of a screen over another and takes part in its
// transitions. The base shows the presented screen over the whole container
// and lets the standard animation move it.
class PresentationController : public QObject {
    Q_OBJECT
public:
    enum class StandardAnimation { coverVertical, crossDissolve };

    PresentationController(ViewController* presented, ViewController* presenting);

    ViewController* presentedViewController() const;
    ViewController* presentingViewController() const;
    QWidget* presentedView() const;
    // The full-window layer the presentation lives in; absent before the
    // presentation begins.
    QWidget* containerView() const { return container_; }
    // The presentation or dismissal in progress, if any.
    TransitionContext* transitionCoordinator() const { return coordinator_; }

    virtual QRect frameOfPresentedViewInContainerView() const;
    // Called when the container has changed size; the base places the
    // presented view at frameOfPresentedViewInContainerView().
    virtual void containerViewDidLayoutSubviews();
    // The presented screen's own transition style.
    virtual StandardAnimation standardAnimation() const;

    virtual void presentationTransitionWillBegin() {}
    virtual void presentationTransitionDidEnd(bool completed) { Q_UNUSED(completed); }
    virtual void dismissalTransitionWillBegin() {}
    virtual void dismissalTransitionDidEnd(bool completed) { Q_UNUSED(completed); }
    // The container is about to take `size`; `coordinator` completes when
    // the change is over.
    virtual void viewWillTransitionToSize(QSize size, TransitionContext* coordinator);

private:
    friend class ViewController;
    QPointer<ViewController> presented_;
    QPointer<ViewController> presenting_;
    QPointer<QWidget> container_;
    QPointer<TransitionContext> coordinator_;
};

}  // namespace ovira

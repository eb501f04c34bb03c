#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

namespace ovira {

// One presentation or dismissal in progress. Animations report its
// progress (0 to 1) here, so that changes made alongside (a backdrop
// fading) follow the presented view; the transition ends with
// completeTransition().
class TransitionContext : public QObject {
    Q_OBJECT
public:
    TransitionContext(QWidget* containerView, QWidget* fromView, QWidget* toView, bool animated,
                      bool interactive, QObject* parent = nullptr);

    QWidget* containerView() const { return container_; }
    // The departing view (dismissal) and the arriving one (presentation).
    QWidget* fromView() const { return from_; }
    QWidget* toView() const { return to_; }
    bool isAnimated() const { return animated_; }
    bool isInteractive() const { return interactive_; }
    bool transitionWasCancelled() const { return cancelled_; }
    bool isComplete() const { return completed_; }

    // Runs `change` with every progress report, and with the final value.
    void animateAlongside(std::function<void(qreal progress)> change);
    void setProgress(qreal progress);
    qreal progress() const { return progress_; }

    void updateInteractiveTransition(qreal percentComplete) { setProgress(percentComplete); }
    void finishInteractiveTransition() { cancelled_ = false; }
    void cancelInteractiveTransition() { cancelled_ = true; }

    // Ends the transition once; later calls are ignored.
    void completeTransition(bool didComplete);
    // Runs once the transition has ended, in the order added.
    void addCompletion(std::function<void(bool didComplete)> completion);

private:
    QPointer<QWidget> container_;
    QPointer<QWidget> from_;
    QPointer<QWidget> to_;
    bool animated_;
    bool interactive_;
    bool cancelled_ = false;
    bool completed_ = false;
    qreal progress_ = 0;
    std::vector<std::function<void(qreal)>> alongside_;
    std::vector<std::function<void(bool)>> completions_;
};

// Animates a dismissal for a presentation controller of its own.
class AnimatedTransitioning {
public:
    virtual ~AnimatedTransitioning() = default;
    virtual double transitionDuration(TransitionContext* context) const = 0;
    virtual void animateTransition(TransitionContext* context) = 0;
};

// Drives a dismissal from a gesture.
class InteractiveTransitioning {
public:
    virtual ~InteractiveTransitioning() = default;
    virtual bool wantsInteractiveStart() const { return true; }
    virtual void startInteractiveTransition(TransitionContext* context) = 0;
};

class PresentationController;
class ViewController;

// Supplies the objects that present and dismiss a screen of the custom
// presentation style.
class TransitioningDelegate {
public:
    virtual ~TransitioningDelegate() = default;
    // A new controller for one presentation; the presentation owns it.
    virtual PresentationController* presentationController(ViewController* presented,
                                                           ViewController* presenting,
                                                           ViewController* source) = 0;
    // Nothing: the standard animation.
    virtual AnimatedTransitioning* animationControllerForDismissed(ViewController*) { return nullptr; }
    virtual InteractiveTransitioning* interactionControllerForDismissal(AnimatedTransitioning*) {
        return nullptr;
    }
};

}  // namespace ovira

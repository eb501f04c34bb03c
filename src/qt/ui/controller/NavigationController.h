#pragma once

#include <QList>
#include <QPointer>
#include <optional>

#include "ui/controller/ViewController.h"

class QStackedWidget;
class QVariantAnimation;

namespace ovira {

class NavigationBar;

// A stack of screens in a stacked widget under a navigation bar. Pushing
// slides the new screen in from the right over the one it covers; popping
// slides it out; a drag from the left edge pops interactively. The container
// owns its screens: a popped screen is deleted once its transition is over.
class NavigationController : public ViewController {
    Q_OBJECT
public:
    explicit NavigationController(ViewController* root, QWidget* parent = nullptr);

    QList<ViewController*> viewControllers() const;
    ViewController* topViewController() const;
    // The screen presented over the container if any, else the top screen.
    ViewController* visibleViewController() const;
    NavigationBar* navigationBar() const { return bar_; }

    void pushViewController(ViewController* screen, bool animated);
    // Pops the top screen; does nothing on the root screen.
    void popViewController(bool animated) { popTo(static_cast<int>(viewControllers().size()) - 2, animated); }
    void popToRootViewController(bool animated) { popTo(0, animated); }
    bool isTransitioning() const { return transition_.has_value(); }

    // Whether a back-swipe may start now: only with a screen to go back to.
    virtual bool gestureRecognizerShouldBegin() const { return viewControllers().size() > 1; }

protected:
    void viewDidLoad() override;
    ViewController* appearanceChild() const override { return topViewController(); }

private:
    // A pop ends by removing every screen above `to`.
    struct Transition {
        QPointer<ViewController> from, to;
        bool push;
        double progress = 0;
    };
    void adopt(ViewController* screen);
    void popTo(int index, bool animated);
    void startTransition(ViewController* from, ViewController* to, bool push, bool animated, bool interactive = false);
    void setTransitionProgress(double progress);
    void runTransitionTo(double target);
    void finishTransition(bool completed);
    void updateBar();
    bool isVisibleNow() const {
        return appearance() == Appearance::appeared || appearance() == Appearance::appearing;
    }

    NavigationBar* bar_;
    QStackedWidget* content_;
    QVariantAnimation* animation_;  // runs while a transition slides on its own
    std::optional<Transition> transition_;
};

}  // namespace ovira

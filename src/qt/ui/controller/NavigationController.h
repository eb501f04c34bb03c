#pragma once

#include <QList>
#include <QPointer>

#include "ui/controller/ViewController.h"

class QVariantAnimation;

namespace ovira {

class NavigationBar;
class PanGestureRecognizer;

// A stack of screens under a navigation bar. Pushing slides the new screen
// in from the right; popping slides it out; a drag from the left edge pops
// interactively. The container owns its screens: a popped screen is deleted
// once its transition is over.
class NavigationController : public ViewController {
    Q_OBJECT
public:
    explicit NavigationController(ViewController* root, QWidget* parent = nullptr);
    ~NavigationController() override;

    QList<ViewController*> viewControllers() const;
    ViewController* topViewController() const;
    // The screen presented over the container if any, else the top screen.
    ViewController* visibleViewController() const;
    NavigationBar* navigationBar() const { return bar_; }

    void pushViewController(ViewController* screen, bool animated);
    // Pops the top screen; does nothing on the root screen.
    void popViewController(bool animated);
    void popToRootViewController(bool animated);
    bool isTransitioning() const { return transition_ != nullptr; }

    // Whether a back-swipe may start now: only with a screen to go back to.
    virtual bool gestureRecognizerShouldBegin() const;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Transition;
    void adopt(ViewController* screen);
    void popTo(int index, bool animated);
    void startTransition(ViewController* from, ViewController* to, bool push, QList<ViewController*> leaving,
                         bool animated, bool interactive = false);
    void setTransitionProgress(double progress);
    void finishTransition(bool completed);
    void onBackSwipe(PanGestureRecognizer& pan);
    void updateBar();
    QRect contentFrame() const;

    NavigationBar* bar_;
    QWidget* content_;
    PanGestureRecognizer* backSwipe_;
    QList<QPointer<ViewController>> stack_;
    Transition* transition_ = nullptr;
};

}  // namespace ovira

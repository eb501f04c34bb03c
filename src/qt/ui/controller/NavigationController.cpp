#include "ui/controller/NavigationController.h"

#include <QStackedLayout>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include "ui/animation/ViewAnimation.h"
#include "ui/controller/NavigationBar.h"
#include "ui/controller/NavigationItem.h"
#include "ui/gesture/DragTracker.h"

namespace ovira {
namespace {

constexpr int kPushDurationMs = 350;
constexpr double kParallax = 0.3;  // the screen underneath moves a third as far

}  // namespace

struct NavigationController::Transition {
    QPointer<ViewController> from;
    QPointer<ViewController> to;
    bool push;
    QList<QPointer<ViewController>> leaving;  // removed from the stack when it completes
    QPointer<QVariantAnimation> animation;
    double progress = 0;
};

NavigationController::NavigationController(ViewController* root, QWidget* parent)
    : ViewController(parent), bar_(new NavigationBar(this)), content_(new QStackedWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addWidget(content_, 1);
    content_->setObjectName(QStringLiteral("navigationContent"));
    bar_->setBackAction([this] { popViewController(true); });

    backSwipe_ = new DragTracker(content_);
    backSwipe_->setLeftEdgeWidth(24);
    backSwipe_->setShouldStart([this](QPointF translation) {
        return !isTransitioning() && translation.x() > 0 && gestureRecognizerShouldBegin();
    });
    const auto follow = [this](QPointF translation) {
        if (transition_ && !transition_->animation)
            setTransitionProgress(std::max(0.0, translation.x()) / std::max(1, content_->width()));
    };
    connect(backSwipe_, &DragTracker::started, this, [this, follow](QPointF translation) {
        const auto screens = viewControllers();
        if (screens.size() < 2) return;
        startTransition(screens.last(), screens[screens.size() - 2], false, {screens.last()}, true, true);
        follow(translation);
    });
    connect(backSwipe_, &DragTracker::moved, this, follow);
    connect(backSwipe_, &DragTracker::finished, this,
            [this](QPointF translation, QPointF velocity, bool cancelled) {
                if (!transition_ || transition_->animation) return;
                const bool completes = !cancelled && (translation.x() > content_->width() / 2.0 ||
                                                      velocity.x() >= 500);
                runTransitionTo(completes ? 1 : 0);
            });
    if (root) {
        adopt(root);
        content_->setCurrentWidget(root);
    }
    updateBar();
}

NavigationController::~NavigationController() {
    delete transition_;
}

QList<ViewController*> NavigationController::viewControllers() const {
    QList<ViewController*> screens;
    for (int i = 0; i < content_->count(); ++i)
        if (auto* screen = qobject_cast<ViewController*>(content_->widget(i))) screens.append(screen);
    return screens;
}

ViewController* NavigationController::topViewController() const {
    const auto screens = viewControllers();
    return screens.isEmpty() ? nullptr : screens.last();
}

ViewController* NavigationController::visibleViewController() const {
    if (presentedViewController() && !presentedViewController()->isBeingDismissed())
        return presentedViewController();
    return topViewController();
}

bool NavigationController::gestureRecognizerShouldBegin() const {
    return viewControllers().size() > 1;
}

bool NavigationController::isVisibleNow() const {
    return appearance() == Appearance::appeared || appearance() == Appearance::appearing;
}

void NavigationController::adopt(ViewController* screen) {
    content_->addWidget(screen);
    addChildViewController(screen);
    // Screens load with their container, not before.
    if (isViewLoaded()) screen->loadViewIfNeeded();
}

void NavigationController::viewDidLoad() {
    ViewController::viewDidLoad();
    for (auto* screen : viewControllers()) screen->loadViewIfNeeded();
    updateBar();
}

void NavigationController::updateBar() {
    const auto screens = viewControllers();
    if (screens.isEmpty()) {
        bar_->show(nullptr, std::nullopt);
        return;
    }
    std::optional<QString> back;
    if (screens.size() > 1) {
        // The container's own back-button title, when set, stands for every screen's.
        auto* previous = screens[screens.size() - 2]->navigationItem();
        back = navigationItem()->backButtonTitle() ? navigationItem()->backButtonTitle()
                                                   : previous->backButtonTitle().value_or(previous->title());
    }
    bar_->show(screens.last()->navigationItem(), back);
}

void NavigationController::pushViewController(ViewController* screen, bool animated) {
    if (!screen || viewControllers().contains(screen)) return;
    if (transition_) finishTransition(true);
    ViewController* from = topViewController();
    adopt(screen);
    updateBar();
    startTransition(from, screen, true, {}, animated);
}

void NavigationController::popViewController(bool animated) {
    popTo(static_cast<int>(viewControllers().size()) - 2, animated);
}

void NavigationController::popToRootViewController(bool animated) {
    popTo(0, animated);
}

void NavigationController::popTo(int index, bool animated) {
    if (transition_) finishTransition(true);
    const auto screens = viewControllers();
    if (index < 0 || index >= screens.size() - 1) return;
    startTransition(screens.last(), screens[index], false, screens.mid(index + 1), animated);
}

void NavigationController::startTransition(ViewController* from, ViewController* to, bool push,
                                           QList<ViewController*> leaving, bool animated, bool interactive) {
    animated = interactive || (animated && ViewAnimation::areAnimationsEnabled() && from);
    transition_ = new Transition{from, to, push, {}, nullptr, 0};
    for (auto* screen : leaving) transition_->leaving.append(screen);
    if (isVisibleNow()) {
        if (from) from->beginAppearanceTransition(false, animated);
        to->beginAppearanceTransition(true, animated);
    }
    if (!animated) {
        finishTransition(true);
        return;
    }
    // Both screens show while one slides over the other; the rest stay hidden.
    static_cast<QStackedLayout*>(content_->layout())->setStackingMode(QStackedLayout::StackAll);
    content_->layout()->activate();
    for (auto* screen : viewControllers())
        if (screen != from && screen != to) screen->hide();
    (push ? from : to)->raise();
    (push ? to : from)->raise();
    setTransitionProgress(0);
    if (!interactive) runTransitionTo(1);  // else the drag moves it
}

void NavigationController::setTransitionProgress(double progress) {
    if (!transition_) return;
    transition_->progress = progress;
    const int width = content_->width();
    // The arriving screen of a push comes from the right; the departing
    // screen of a pop leaves to the right.
    ViewController* front = transition_->push ? transition_->to : transition_->from;
    ViewController* back = transition_->push ? transition_->from : transition_->to;
    const double shown = transition_->push ? progress : 1 - progress;
    if (front) front->move(static_cast<int>(width * (1 - shown)), 0);
    if (back) back->move(static_cast<int>(-width * kParallax * shown), 0);
}

void NavigationController::runTransitionTo(double target) {
    const double from = transition_->progress;
    if (!ViewAnimation::areAnimationsEnabled() || from == target) {
        finishTransition(target == 1);
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(std::max(1, static_cast<int>(kPushDurationMs * std::abs(target - from))));
    animation->setStartValue(from);
    animation->setEndValue(target);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setTransitionProgress(value.toDouble()); });
    connect(animation, &QVariantAnimation::finished, this, [this, animation, target] {
        if (transition_ && transition_->animation == animation) finishTransition(target == 1);
    });
    transition_->animation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void NavigationController::finishTransition(bool completed) {
    if (!transition_) return;
    Transition* transition = transition_;
    transition_ = nullptr;
    if (transition->animation) transition->animation->stop();
    const bool visible = isVisibleNow();
    ViewController* shown = completed ? transition->to : transition->from;
    ViewController* hidden = completed ? transition->from : transition->to;
    if (!completed && visible) {
        // A cancelled back-swipe: the screens trade the appearance they began.
        if (transition->to) transition->to->beginAppearanceTransition(false, true);
        if (transition->from) transition->from->beginAppearanceTransition(true, true);
    }
    auto* layout = static_cast<QStackedLayout*>(content_->layout());
    if (shown) layout->setCurrentWidget(shown);
    layout->setStackingMode(QStackedLayout::StackOne);
    for (auto* screen : {shown, hidden})
        if (screen) screen->move(0, 0);
    if (visible) {
        if (hidden) hidden->endAppearanceTransition();
        if (shown) shown->endAppearanceTransition();
    }
    if (completed) {
        for (const auto& screen : transition->leaving) {
            if (!screen) continue;
            content_->removeWidget(screen);
            screen->removeFromParentViewController();
            screen->hide();
            screen->deleteLater();
        }
    }
    delete transition;
    updateBar();
}

void NavigationController::viewWillAppear(bool animated) {
    if (auto* top = topViewController()) top->beginAppearanceTransition(true, animated);
}

void NavigationController::viewDidAppear(bool) {
    if (auto* top = topViewController()) top->endAppearanceTransition();
}

void NavigationController::viewWillDisappear(bool animated) {
    if (auto* top = topViewController()) top->beginAppearanceTransition(false, animated);
}

void NavigationController::viewDidDisappear(bool) {
    if (auto* top = topViewController()) top->endAppearanceTransition();
}

}  // namespace ovira

#include "ui/controller/NavigationController.h"

#include <QStackedLayout>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <utility>

#include "ui/animation/ViewAnimation.h"
#include "ui/controller/NavigationBar.h"
#include "ui/controller/NavigationItem.h"
#include "ui/gesture/DragTracker.h"

namespace ovira {
namespace {

constexpr int kPushDurationMs = 350;
constexpr double kParallax = 0.3;  // the screen underneath moves a third as far

}  // namespace

NavigationController::NavigationController(ViewController* root, QWidget* parent)
    : ViewController(parent), bar_(new NavigationBar(this)), content_(new QStackedWidget(this)),
      animation_(new QVariantAnimation(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addWidget(content_, 1);
    connect(bar_, &NavigationBar::backTapped, this, [this] { popViewController(true); });

    animation_->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        if (animation_->state() == QAbstractAnimation::Running) setTransitionProgress(value.toDouble());
    });
    connect(animation_, &QVariantAnimation::finished, this,
            [this] { finishTransition(animation_->endValue().toDouble() == 1); });

    auto* backSwipe = new DragTracker(content_, 24, [this](QPointF translation) {
        return !isTransitioning() && translation.x() > 0 && gestureRecognizerShouldBegin();
    });
    const auto follow = [this](QPointF translation) {
        if (transition_ && animation_->state() != QAbstractAnimation::Running)
            setTransitionProgress(std::max(0.0, translation.x()) / std::max(1, content_->width()));
    };
    connect(backSwipe, &DragTracker::started, this, [this, follow](QPointF translation) {
        const auto screens = viewControllers();
        if (screens.size() < 2) return;
        startTransition(screens.last(), screens[screens.size() - 2], false, true, true);
        follow(translation);
    });
    connect(backSwipe, &DragTracker::moved, this, follow);
    connect(backSwipe, &DragTracker::finished, this, [this](QPointF translation, QPointF velocity, bool cancelled) {
        if (!transition_ || animation_->state() == QAbstractAnimation::Running) return;
        runTransitionTo(!cancelled && (translation.x() > content_->width() / 2.0 || velocity.x() >= 500) ? 1 : 0);
    });
    if (root) adopt(root);  // the first page of a stack is its current one
    updateBar();
}

QList<ViewController*> NavigationController::viewControllers() const {
    QList<ViewController*> screens;
    for (int i = 0; i < content_->count(); ++i)
        if (auto* screen = qobject_cast<ViewController*>(content_->widget(i))) screens.append(screen);
    return screens;
}

ViewController* NavigationController::topViewController() const {
    return qobject_cast<ViewController*>(content_->widget(content_->count() - 1));
}

ViewController* NavigationController::visibleViewController() const {
    auto* presented = presentedViewController();
    return presented && !presented->isBeingDismissed() ? presented : topViewController();
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
    std::optional<QString> back;
    if (screens.size() > 1) {
        // The container's own back-button title, when set, stands for every screen's.
        auto* previous = screens[screens.size() - 2]->navigationItem();
        back = navigationItem()->backButtonTitle().value_or(previous->backButtonTitle().value_or(previous->title()));
    }
    bar_->show(screens.isEmpty() ? nullptr : screens.last()->navigationItem(), back);
}

void NavigationController::pushViewController(ViewController* screen, bool animated) {
    if (!screen || viewControllers().contains(screen)) return;
    if (transition_) finishTransition(true);
    ViewController* from = topViewController();
    adopt(screen);
    updateBar();
    startTransition(from, screen, true, animated);
}

void NavigationController::popTo(int index, bool animated) {
    if (transition_) finishTransition(true);
    const auto screens = viewControllers();
    if (index >= 0 && index < screens.size() - 1) startTransition(screens.last(), screens[index], false, animated);
}

void NavigationController::startTransition(ViewController* from, ViewController* to, bool push, bool animated,
                                           bool interactive) {
    animated = interactive || (animated && ViewAnimation::areAnimationsEnabled() && from);
    transition_ = Transition{from, to, push};
    if (isVisibleNow()) {
        if (from) from->beginAppearanceTransition(false, animated);
        to->beginAppearanceTransition(true, animated);
    }
    if (!animated) return finishTransition(true);
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
    // The arriving screen of a push comes from the right; the departing
    // screen of a pop leaves to the right.
    const bool push = transition_->push;
    const double shown = push ? progress : 1 - progress, width = content_->width();
    if (ViewController* front = push ? transition_->to : transition_->from)
        front->move(static_cast<int>(width * (1 - shown)), 0);
    if (ViewController* back = push ? transition_->from : transition_->to)
        back->move(static_cast<int>(-width * kParallax * shown), 0);
}

void NavigationController::runTransitionTo(double target) {
    const double from = transition_->progress;
    if (!ViewAnimation::areAnimationsEnabled() || from == target) return finishTransition(target == 1);
    animation_->setDuration(std::max(1, static_cast<int>(kPushDurationMs * std::abs(target - from))));
    animation_->setKeyValues({{0, from}, {1, target}});
    animation_->start();
}

void NavigationController::finishTransition(bool completed) {
    if (!transition_) return;
    const Transition transition = *std::exchange(transition_, std::nullopt);
    animation_->stop();
    const bool visible = isVisibleNow();
    ViewController* shown = completed ? transition.to : transition.from;
    ViewController* hidden = completed ? transition.from : transition.to;
    if (!completed && visible) {
        // A cancelled back-swipe: the screens trade the appearance they began.
        if (transition.to) transition.to->beginAppearanceTransition(false, true);
        if (transition.from) transition.from->beginAppearanceTransition(true, true);
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
    if (completed && transition.to) {  // a pop leaves the screens above `to`
        const auto screens = viewControllers();
        for (auto* screen : screens.mid(screens.indexOf(transition.to) + 1)) {
            content_->removeWidget(screen);  // which hides it
            screen->removeFromParentViewController();
            screen->deleteLater();
        }
    }
    updateBar();
}

}  // namespace ovira

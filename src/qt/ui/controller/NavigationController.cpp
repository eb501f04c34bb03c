#include "ui/controller/NavigationController.h"

#include <QResizeEvent>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include "ui/animation/ViewAnimation.h"
#include "ui/controller/NavigationBar.h"
#include "ui/controller/NavigationItem.h"
#include "ui/gesture/PanGestureRecognizer.h"

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
    bool interactive = false;
    double progress = 0;
};

NavigationController::NavigationController(ViewController* root, QWidget* parent)
    : ViewController(parent),
      bar_(new NavigationBar(this)),
      content_(new QWidget(this)),
      backSwipe_(new PanGestureRecognizer([this](PanGestureRecognizer& pan) { onBackSwipe(pan); }, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addWidget(content_, 1);
    content_->setObjectName(QStringLiteral("navigationContent"));
    content_->installEventFilter(this);
    bar_->setBackAction([this] { popViewController(true); });
    backSwipe_->setLeftEdgeWidth(24);
    backSwipe_->setShouldBegin([this](const PanGestureRecognizer& pan) {
        return !isTransitioning() && pan.translationIn(content_).x() > 0 && gestureRecognizerShouldBegin();
    });
    backSwipe_->addToView(content_);
    if (root) {
        adopt(root);
        stack_.append(root);
        root->setGeometry(contentFrame());
        root->show();
    }
    updateBar();
}

NavigationController::~NavigationController() {
    delete transition_;
}

QList<ViewController*> NavigationController::viewControllers() const {
    QList<ViewController*> screens;
    for (const auto& screen : stack_)
        if (screen) screens.append(screen);
    return screens;
}

ViewController* NavigationController::topViewController() const {
    const auto screens = viewControllers();
    return screens.isEmpty() ? nullptr : screens.last();
}

ViewController* NavigationController::visibleViewController() const {
    if (presentedViewController() && !presentedViewController()->isBeingDismissed()) return presentedViewController();
    return topViewController();
}

bool NavigationController::gestureRecognizerShouldBegin() const {
    return viewControllers().size() > 1;
}

QRect NavigationController::contentFrame() const {
    return content_->rect();
}

void NavigationController::adopt(ViewController* screen) {
    screen->setParent(content_);
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
    if (!screen || stack_.contains(screen)) return;
    if (transition_) finishTransition(true);
    ViewController* from = topViewController();
    adopt(screen);
    stack_.append(screen);
    screen->setGeometry(contentFrame());
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
    QList<ViewController*> leaving = screens.mid(index + 1);
    startTransition(screens.last(), screens[index], false, leaving, animated);
}

void NavigationController::startTransition(ViewController* from, ViewController* to, bool push,
                                           QList<ViewController*> leaving, bool animated, bool interactive) {
    animated = interactive || (animated && ViewAnimation::areAnimationsEnabled() && from);
    transition_ = new Transition{from, to, push, {}, nullptr, interactive, 0};
    for (auto* screen : leaving) transition_->leaving.append(screen);
    const bool visible = appearance() == Appearance::appeared || appearance() == Appearance::appearing;
    if (visible) {
        if (from) from->beginAppearanceTransition(false, animated);
        to->beginAppearanceTransition(true, animated);
    }
    to->setGeometry(contentFrame());
    to->show();
    if (push)
        to->raise();
    else if (from)
        from->raise();
    setTransitionProgress(0);
    if (interactive) return;  // the drag moves it
    if (!animated) {
        finishTransition(true);
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(kPushDurationMs);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setTransitionProgress(value.toDouble()); });
    connect(animation, &QVariantAnimation::finished, this, [this, animation] {
        if (transition_ && transition_->animation == animation) finishTransition(true);
    });
    transition_->animation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
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

void NavigationController::finishTransition(bool completed) {
    if (!transition_) return;
    Transition* transition = transition_;
    transition_ = nullptr;
    if (transition->animation) transition->animation->stop();
    const bool visible = appearance() == Appearance::appeared || appearance() == Appearance::appearing;
    ViewController* shown = completed ? transition->to : transition->from;
    ViewController* hidden = completed ? transition->from : transition->to;
    if (!completed && visible) {
        // A cancelled back-swipe: the screens trade the appearance they began.
        if (transition->to) transition->to->beginAppearanceTransition(false, true);
        if (transition->from) transition->from->beginAppearanceTransition(true, true);
    }
    if (shown) {
        shown->move(0, 0);
        shown->show();
    }
    if (hidden) hidden->hide();
    if (visible) {
        if (hidden) hidden->endAppearanceTransition();
        if (shown) shown->endAppearanceTransition();
    }
    if (completed) {
        for (const auto& screen : transition->leaving) {
            if (!screen) continue;
            stack_.removeAll(screen);
            screen->removeFromParentViewController();
            screen->hide();
            screen->deleteLater();
        }
    }
    delete transition;
    updateBar();
}

void NavigationController::onBackSwipe(PanGestureRecognizer& pan) {
    const double width = std::max(1, content_->width());
    const double dx = std::max(0.0, pan.translationIn(content_).x());
    switch (pan.state()) {
        case PanGestureRecognizer::State::began: {
            const auto screens = viewControllers();
            if (screens.size() < 2) return;
            startTransition(screens.last(), screens[screens.size() - 2], false, {screens.last()}, true, true);
            setTransitionProgress(dx / width);
            break;
        }
        case PanGestureRecognizer::State::changed:
            if (transition_ && transition_->interactive) setTransitionProgress(dx / width);
            break;
        default: {
            if (!transition_ || !transition_->interactive) return;
            const bool completes = pan.state() == PanGestureRecognizer::State::ended &&
                                   (dx > width / 2 || pan.velocityIn(content_).x() >= 500);
            if (!ViewAnimation::areAnimationsEnabled()) {
                finishTransition(completes);
                return;
            }
            auto* animation = new QVariantAnimation(this);
            animation->setDuration(static_cast<int>(kPushDurationMs * (completes ? 1 - dx / width : dx / width)) + 1);
            animation->setStartValue(dx / width);
            animation->setEndValue(completes ? 1.0 : 0.0);
            connect(animation, &QVariantAnimation::valueChanged, this,
                    [this](const QVariant& value) { setTransitionProgress(value.toDouble()); });
            connect(animation, &QVariantAnimation::finished, this, [this, animation, completes] {
                if (transition_ && transition_->animation == animation) finishTransition(completes);
            });
            transition_->animation = animation;
            animation->start(QAbstractAnimation::DeleteWhenStopped);
        }
    }
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

void NavigationController::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
}

bool NavigationController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_ && event->type() == QEvent::Resize) {
        for (auto* screen : viewControllers()) screen->resize(content_->size());
    }
    return ViewController::eventFilter(watched, event);
}

}  // namespace ovira

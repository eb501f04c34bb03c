#include "ui/controller/ViewController.h"

#include <QGraphicsOpacityEffect>
#include <QVariantAnimation>

#include "ui/animation/ViewAnimation.h"
#include "ui/controller/NavigationController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/controller/PresentationContainerView.h"
#include "ui/controller/PresentationController.h"
#include "ui/controller/TransitionContext.h"

namespace ovira {
namespace {

constexpr int kStandardDurationMs = 300;

}  // namespace

ViewController::ViewController(QWidget* parent) : QWidget(parent) {}

ViewController::~ViewController() {
    // A screen that goes away takes what it presents with it.
    if (presented_) presented_->tearDownPresentation();
}

void ViewController::loadViewIfNeeded() {
    if (loaded_) return;
    loaded_ = true;
    applySafeArea();
    viewDidLoad();
}

void ViewController::beginAppearanceTransition(bool isAppearing, bool animated) {
    const Appearance target = isAppearing ? Appearance::appearing : Appearance::disappearing;
    if (appearance_ == target) return;
    if (isAppearing && appearance_ == Appearance::appeared) return;
    if (!isAppearing && appearance_ == Appearance::disappeared) return;
    loadViewIfNeeded();
    appearance_ = target;
    appearanceAnimated_ = animated;
    if (isAppearing)
        viewWillAppear(animated);
    else
        viewWillDisappear(animated);
}

void ViewController::endAppearanceTransition() {
    if (appearance_ == Appearance::appearing) {
        appearance_ = Appearance::appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::disappearing) {
        appearance_ = Appearance::disappeared;
        viewDidDisappear(appearanceAnimated_);
    }
}

QList<ViewController*> ViewController::childViewControllers() const {
    QList<ViewController*> children;
    for (auto* child : findChildren<ViewController*>()) {
        if (child->parentController_ == this) children.append(child);
    }
    return children;
}

void ViewController::addChildViewController(ViewController* child) {
    if (!child || child->parentController_ == this) return;
    child->removeFromParentViewController();
    child->parentController_ = this;
}

void ViewController::removeFromParentViewController() {
    parentController_ = nullptr;
}

NavigationController* ViewController::navigationController() const {
    for (auto* controller = parentController_.data(); controller;
         controller = controller->parentController_) {
        if (auto* navigation = qobject_cast<NavigationController*>(controller)) return navigation;
    }
    return nullptr;
}

NavigationItem* ViewController::navigationItem() {
    if (!navigationItem_) navigationItem_ = new NavigationItem(this);
    return navigationItem_;
}

PresentationController* ViewController::presentationController() const {
    return presentationController_;
}

PresentationController* ViewController::makePresentationController(ViewController* presenting) {
    return new PresentationController(this, presenting);
}

void ViewController::setAdditionalSafeAreaInsets(const QMargins& insets) {
    additionalSafeArea_ = insets;
    applySafeArea();
}

void ViewController::applySafeArea() {
    setContentsMargins(additionalSafeAreaInsets());
}

void ViewController::setPreferredContentSize(const QSize& size) {
    if (size == preferredContentSize_) return;
    preferredContentSize_ = size;
    Q_EMIT preferredContentSizeChanged();
}

void ViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A screen shown as a window of its own has no container to tell it.
    if (isWindow() && !parentController_) {
        beginAppearanceTransition(true, false);
        endAppearanceTransition();
    }
}

void ViewController::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (isWindow() && !parentController_) {
        beginAppearanceTransition(false, false);
        endAppearanceTransition();
    }
}

QWidget* ViewController::presentationHost(QWidget* presenter) {
    for (QWidget* widget = presenter; widget; widget = widget->parentWidget()) {
        if (widget->isWindow() || widget->property(presentationHostProperty).toBool()) return widget;
    }
    return presenter->window();
}

ViewController* ViewController::presentationContext() {
    ViewController* context = this;
    while (context->parentController_) context = context->parentController_;
    return context;
}

void ViewController::present(ViewController* screen, bool animated, std::function<void()> completion) {
    if (!screen || screen == this || screen->presenting_) return;
    ViewController* presenter = presentationContext();
    // Present from the top of the chain, finishing a dismissal on the way.
    while (presenter->presented_) {
        if (presenter->presented_->beingDismissed_) {
            presenter->presented_->finishDismissal(true, false, {});
            break;
        }
        presenter = presenter->presented_;
    }
    animated = animated && ViewAnimation::areAnimationsEnabled();

    auto* container = new PresentationContainerView(presentationHost(presenter));
    PresentationController* controller = nullptr;
    if (screen->modalPresentationStyle() == ModalPresentationStyle::custom && screen->transitioningDelegate())
        controller = screen->transitioningDelegate()->presentationController(screen, presenter, this);
    if (!controller) controller = screen->makePresentationController(presenter);
    controller->setParent(container);
    controller->container_ = container;
    container->setPresentationController(controller);

    screen->presenting_ = presenter;
    screen->container_ = container;
    screen->presentationController_ = controller;
    screen->beingPresented_ = true;
    presenter->presented_ = screen;

    screen->setParent(container);
    screen->loadViewIfNeeded();
    container->show();
    container->raise();
    auto* context = new TransitionContext(container, nullptr, screen, animated, false, controller);
    controller->coordinator_ = context;
    controller->presentationTransitionWillBegin();
    screen->setGeometry(controller->frameOfPresentedViewInContainerView());
    screen->show();
    screen->setFocus();
    screen->beginAppearanceTransition(true, animated);

    QPointer<ViewController> guard(screen);
    context->addCompletion([guard, animated, completion](bool) {
        if (guard) guard->finishPresentation(animated, completion);
    });
    if (animated)
        runStandardAnimation(context, true);
    else
        context->completeTransition(true);
}

void ViewController::finishPresentation(bool, std::function<void()> completion) {
    beingPresented_ = false;
    if (presentationController_) {
        presentationController_->coordinator_ = nullptr;
        presentationController_->presentationTransitionDidEnd(true);
    }
    endAppearanceTransition();
    if (completion) completion();
}

void ViewController::dismiss(bool animated, std::function<void()> completion) {
    ViewController* context = presentationContext();
    if (context->presented_ && !context->presented_->beingDismissed_) {
        context->presented_->dismissPresented(animated, std::move(completion));
    } else if (context->presenting_ && !context->beingDismissed_) {
        context->dismissPresented(animated, std::move(completion));
    } else if (completion) {
        completion();
    }
}

void ViewController::dismissPresented(bool animated, std::function<void()> completion) {
    // This screen is the presented one. What it presents goes first, at once.
    if (presented_) {
        if (presented_->beingDismissed_)
            presented_->finishDismissal(true, false, {});
        else
            presented_->dismissPresented(false, {});
    }
    if (beingDismissed_) return;
    if (beingPresented_ && presentationController_ && presentationController_->coordinator_)
        presentationController_->coordinator_->completeTransition(true);
    animated = animated && ViewAnimation::areAnimationsEnabled();

    AnimatedTransitioning* animator = nullptr;
    InteractiveTransitioning* interactor = nullptr;
    if (modalPresentationStyle() == ModalPresentationStyle::custom) {
        if (auto* delegate = transitioningDelegate()) {
            animator = delegate->animationControllerForDismissed(this);
            if (animator) interactor = delegate->interactionControllerForDismissal(animator);
        }
    }
    const bool interactive = interactor && interactor->wantsInteractiveStart();

    beingDismissed_ = true;
    beginAppearanceTransition(false, animated);
    auto* controller = presentationController_.data();
    auto* context = new TransitionContext(container_, this, nullptr, animated || interactive, interactive,
                                          controller ? static_cast<QObject*>(controller) : this);
    if (controller) {
        controller->coordinator_ = context;
        controller->dismissalTransitionWillBegin();
    }
    QPointer<ViewController> guard(this);
    context->addCompletion([guard, animated, completion](bool completed) {
        if (guard) guard->finishDismissal(completed, animated, completion);
    });
    if (interactive)
        interactor->startInteractiveTransition(context);
    else if (animator && animated)
        animator->animateTransition(context);
    else if (animated)
        runStandardAnimation(context, false);
    else
        context->completeTransition(true);
}

void ViewController::finishDismissal(bool completed, bool, std::function<void()> completion) {
    if (!beingDismissed_) return;
    auto* controller = presentationController_.data();
    if (controller) controller->coordinator_ = nullptr;
    if (!completed) {
        // The user changed their mind halfway: the screen stays.
        beingDismissed_ = false;
        if (controller) controller->dismissalTransitionDidEnd(false);
        beginAppearanceTransition(true, false);
        endAppearanceTransition();
        return;
    }
    if (controller) controller->dismissalTransitionDidEnd(true);
    endAppearanceTransition();
    tearDownPresentation();
    QPointer<ViewController> guard(this);
    if (completion) completion();
    if (guard) Q_EMIT didDismiss();
}

void ViewController::tearDownPresentation() {
    if (presented_) presented_->tearDownPresentation();
    if (presenting_ && presenting_->presented_ == this) presenting_->presented_ = nullptr;
    presenting_ = nullptr;
    beingDismissed_ = false;
    beingPresented_ = false;
    hide();
    if (container_) {
        container_->hide();
        container_->deleteLater();  // and this screen with it
    }
}

void ViewController::runStandardAnimation(TransitionContext* context, bool presenting) {
    auto* controller = presentationController_.data();
    const auto kind = controller ? controller->standardAnimation()
                                 : PresentationController::StandardAnimation::coverVertical;
    const QRect frame = controller ? controller->frameOfPresentedViewInContainerView() : geometry();
    auto* animation = new QVariantAnimation(context);
    animation->setDuration(kStandardDurationMs);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setEasingCurve(presenting ? QEasingCurve::OutCubic : QEasingCurve::InCubic);
    QPointer<ViewController> guard(this);
    QPointer<QGraphicsOpacityEffect> fade;
    if (kind == PresentationController::StandardAnimation::crossDissolve) {
        fade = new QGraphicsOpacityEffect(this);
        setGraphicsEffect(fade);
    }
    auto apply = [guard, fade, frame, presenting, kind, context](double progress) {
        if (!guard) return;
        const double shown = presenting ? progress : 1 - progress;
        if (kind == PresentationController::StandardAnimation::crossDissolve) {
            if (fade) fade->setOpacity(shown);
        } else if (auto* container = guard->parentWidget()) {
            const int hiddenY = container->height();
            guard->move(frame.x(), static_cast<int>(hiddenY + (frame.y() - hiddenY) * shown));
        }
        context->setProgress(progress);
    };
    apply(0);
    connect(animation, &QVariantAnimation::valueChanged, context,
            [apply](const QVariant& value) { apply(value.toDouble()); });
    connect(animation, &QVariantAnimation::finished, context, [guard, context, presenting] {
        if (guard) guard->setGraphicsEffect(nullptr);
        context->completeTransition(true);
        Q_UNUSED(presenting);
    });
    animation->start();
}

}  // namespace ovira

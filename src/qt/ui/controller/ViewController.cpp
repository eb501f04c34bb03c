#include "ui/controller/ViewController.h"

#include <QApplication>
#include <QKeyEvent>

#include "ui/animation/ViewAnimation.h"
#include "ui/controller/NavigationController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/controller/PresentationController.h"
#include "ui/view/FocusRing.h"

namespace ovira {
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
    if (auto* child = appearanceChild()) child->beginAppearanceTransition(isAppearing, animated);
}

void ViewController::endAppearanceTransition() {
    if (appearance_ == Appearance::appearing) {
        appearance_ = Appearance::appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::disappearing) {
        appearance_ = Appearance::disappeared;
        viewDidDisappear(appearanceAnimated_);
    } else {
        return;
    }
    if (auto* child = appearanceChild()) child->endAppearanceTransition();
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

PresentationController* ViewController::makePresentationController(ViewController* presenting) {
    return new PresentationController(this, presenting);
}

void ViewController::setMaximumContentWidth(int width) {
    maximumContentWidth_ = std::max(0, width);
    applySafeArea();
}

void ViewController::applySafeArea() {
    QMargins margins = additionalSafeAreaInsets();
    if (maximumContentWidth_ > 0) {
        const int spare = width() - margins.left() - margins.right() - maximumContentWidth_;
        if (spare > 0) {
            margins.setLeft(margins.left() + spare / 2);
            margins.setRight(margins.right() + spare - spare / 2);
        }
    }
    setContentsMargins(margins);
}

void ViewController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (maximumContentWidth_ > 0) applySafeArea();
}

void ViewController::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !isBeingDismissed() &&
        didPressEscape()) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
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
            presenter->presented_->presentationController_->finishTransition();
            break;
        }
        presenter = presenter->presented_;
    }
    animated = animated && ViewAnimation::areAnimationsEnabled();

    FocusRing::install();
    PresentationController* controller = screen->makePresentationController(presenter);
    controller->attach(presentationHost(presenter));

    screen->presenting_ = presenter;
    screen->focusBeforePresentation_ = QApplication::focusWidget();
    screen->presentationController_ = controller;
    screen->beingPresented_ = true;
    presenter->presented_ = screen;

    screen->setParent(controller);
    screen->loadViewIfNeeded();
    controller->show();
    controller->raise();
    controller->presentationTransitionWillBegin();
    controller->setProgress(0);
    screen->show();
    screen->setFocus();
    screen->beginAppearanceTransition(true, animated);
    QPointer<ViewController> guard(screen);
    controller->animateTo(1, animated, [guard, completion] {
        if (guard) guard->finishPresentation(completion);
    });
}

void ViewController::finishPresentation(std::function<void()> completion) {
    beingPresented_ = false;
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
            presented_->presentationController_->finishTransition();
        else
            presented_->dismissPresented(false, {});
    }
    auto* controller = presentationController_.data();
    if (beingDismissed_ || !controller) return;
    controller->finishTransition();  // a presentation still under way
    animated = animated && ViewAnimation::areAnimationsEnabled();
    beingDismissed_ = true;
    beginAppearanceTransition(false, animated);
    // The keyboard goes back to where it was before, while the screen leaves.
    if (QWidget* focus = QApplication::focusWidget(); (!focus || isAncestorOf(focus) || focus == this) &&
                                                        focusBeforePresentation_ &&
                                                        focusBeforePresentation_->isVisible())
        focusBeforePresentation_->setFocus(Qt::OtherFocusReason);
    QPointer<ViewController> guard(this);
    controller->animateTo(0, animated, [guard, completion] {
        if (guard) guard->finishDismissal(completion);
    });
}

void ViewController::finishDismissal(std::function<void()> completion) {
    if (!beingDismissed_) return;
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
    if (auto* layer = presentationController_.data()) {
        layer->hide();
        layer->deleteLater();  // and this screen with it
    }
}

}  // namespace ovira

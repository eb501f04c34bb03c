#include "ui/controller/PresentationController.h"

#include <QGraphicsOpacityEffect>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

#include "ui/animation/ViewAnimation.h"
#include "ui/controller/PresentationContainerView.h"
#include "ui/controller/ViewController.h"

namespace ovira {

PresentationController::PresentationController(ViewController* presented, ViewController* presenting)
    : presented_(presented), presenting_(presenting) {}

PresentationController::~PresentationController() {
    if (animation_) animation_->stop();
}

ViewController* PresentationController::presentedViewController() const {
    return presented_;
}

ViewController* PresentationController::presentingViewController() const {
    return presenting_;
}

QRect PresentationController::frameOfPresentedViewInContainerView() const {
    return container_ ? container_->rect() : QRect();
}

void PresentationController::containerViewDidLayoutSubviews() {
    applyProgress(progress_);
}

void PresentationController::setProgress(double progress) {
    progress_ = std::clamp(progress, 0.0, 1.0);
    applyProgress(progress_);
}

void PresentationController::applyProgress(double progress) {
    auto* screen = presentedViewController();
    if (!screen || !container_) return;
    const QRect frame = frameOfPresentedViewInContainerView();
    if (screen->modalTransitionStyle() == ViewController::ModalTransitionStyle::crossDissolve) {
        screen->setGeometry(frame);
        auto* fade = qobject_cast<QGraphicsOpacityEffect*>(screen->graphicsEffect());
        if (progress >= 1) {
            if (fade) screen->setGraphicsEffect(nullptr);
            return;
        }
        if (!fade) screen->setGraphicsEffect(fade = new QGraphicsOpacityEffect(screen));
        fade->setOpacity(progress);
    } else {
        const int hidden = container_->height();
        screen->setGeometry(frame.translated(0, static_cast<int>(std::lround((hidden - frame.y()) * (1 - progress)))));
    }
}

void PresentationController::setDimming(QColor color, double alpha) {
    color.setAlphaF(static_cast<float>(color.alphaF() * std::clamp(alpha, 0.0, 1.0)));
    if (auto* container = qobject_cast<PresentationContainerView*>(container_.data())) container->setDimming(color);
}

void PresentationController::finishTransition() {
    if (auto* animation = animation_.data()) {
        animation_ = nullptr;
        animation->disconnect(this);
        animation->stop();
        animation->deleteLater();
    }
    auto done = std::move(done_);
    done_ = {};
    if (done) done();
}

void PresentationController::animateTo(double target, bool animated, std::function<void()> done) {
    finishTransition();
    done_ = std::move(done);
    const double distance = std::abs(target - progress_);
    if (!animated || !ViewAnimation::areAnimationsEnabled() || distance <= 0) {
        setProgress(target);
        finishTransition();
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(std::max(1, static_cast<int>(transitionDurationMs() * distance)));
    animation->setStartValue(progress_);
    animation->setEndValue(target);
    animation->setEasingCurve(target > progress_ ? QEasingCurve::OutCubic : QEasingCurve::InCubic);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setProgress(value.toDouble()); });
    connect(animation, &QVariantAnimation::finished, this, [this, target] {
        setProgress(target);
        finishTransition();
    });
    animation_ = animation;
    animation->start();
}

}  // namespace ovira

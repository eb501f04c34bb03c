#include "ui/controller/PresentationController.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "ui/animation/ViewAnimation.h"
#include "ui/controller/NavigationController.h"
#include "ui/controller/ViewController.h"

namespace ovira {

PresentationController::PresentationController(ViewController* presented, ViewController* presenting)
    : presented_(presented), presenting_(presenting) {
    setObjectName(QStringLiteral("presentationContainer"));
    if (presented) presented->installEventFilter(this);
}

PresentationController::~PresentationController() {
    if (animation_) animation_->stop();
}

ViewController* PresentationController::presentedViewController() const {
    return presented_;
}

ViewController* PresentationController::presentingViewController() const {
    return presenting_;
}

void PresentationController::attach(QWidget* host) {
    setParent(host);
    setGeometry(host->rect());
    host->installEventFilter(this);
}

void PresentationController::setProgress(double progress) {
    progress_ = std::clamp(progress, 0.0, 1.0);
    applyProgress(progress_);
}

void PresentationController::applyProgress(double progress) {
    auto* screen = presentedViewController();
    if (!screen) return;
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
        screen->setGeometry(frame.translated(0, static_cast<int>(std::lround((height() - frame.y()) * (1 - progress)))));
    }
}

void PresentationController::setDimming(QColor color, double alpha) {
    color.setAlphaF(static_cast<float>(color.alphaF() * std::clamp(alpha, 0.0, 1.0)));
    if (color == dimming_) return;
    dimming_ = color;
    update();
}

void PresentationController::finishTransition() {
    if (auto* animation = animation_.data()) {
        animation_ = nullptr;
        animation->disconnect(this);
        animation->stop();
        animation->deleteLater();
    }
    auto done = std::exchange(done_, {});
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

bool PresentationController::eventFilter(QObject* watched, QEvent* event) {
    // Content that asks for another size (a font or text change) is laid out again.
    if (watched == presented_ && event->type() == QEvent::LayoutRequest) containerViewDidLayoutSubviews();
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        viewWillTransitionToSize(size);
        setGeometry(QRect(QPoint(), size));
        containerViewDidLayoutSubviews();
    }
    return false;
}

bool PresentationController::focusNextPrevChild(bool next) {
    const bool embeddedFlow =
        !parentWidget()->isWindow() && qobject_cast<NavigationController*>(presentedViewController());
    if (embeddedFlow) return QWidget::focusNextPrevChild(next);
    QWidget* start = QApplication::focusWidget();
    if (!start || !isAncestorOf(start)) start = this;
    for (QWidget* widget = next ? start->nextInFocusChain() : start->previousInFocusChain(); widget != start;
         widget = next ? widget->nextInFocusChain() : widget->previousInFocusChain()) {
        if (isAncestorOf(widget) && widget->isVisible() && widget->isEnabled() &&
            (widget->focusPolicy() & Qt::TabFocus)) {
            widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;  // nothing else to go to: the focus stays
}

void PresentationController::paintEvent(QPaintEvent*) {
    if (dimming_.alpha() > 0) QPainter(this).fillRect(rect(), dimming_);
}

void PresentationController::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) pressedAt_ = event->position().toPoint();
}

void PresentationController::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !pressedAt_) return;
    const QPoint at = event->position().toPoint();
    // A tap: released where it was pressed, not the end of a drag.
    const bool tapped = (at - *std::exchange(pressedAt_, std::nullopt)).manhattanLength() < 10;
    if (tapped) containerTapped(at);
}

void PresentationController::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void PresentationController::wheelEvent(QWheelEvent* event) {
    event->accept();
}

}  // namespace ovira

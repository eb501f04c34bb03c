#include "ui/controller/PresentationContainerView.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include "ui/controller/NavigationController.h"
#include "ui/controller/PresentationController.h"

namespace ovira {

PresentationContainerView::PresentationContainerView(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("presentationContainer"));
    setGeometry(window->rect());
    window->installEventFilter(this);
}

bool PresentationContainerView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        if (controller_) controller_->viewWillTransitionToSize(size);
        setGeometry(QRect(QPoint(), size));
        if (controller_) controller_->containerViewDidLayoutSubviews();
    }
    return false;
}

bool PresentationContainerView::focusNextPrevChild(bool next) {
    const bool embeddedFlow =
        !parentWidget()->isWindow() && qobject_cast<NavigationController*>(
                                           findChild<ViewController*>(QString(), Qt::FindDirectChildrenOnly));
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

void PresentationContainerView::setDimming(const QColor& color) {
    if (color == dimming_) return;
    dimming_ = color;
    update();
}

void PresentationContainerView::paintEvent(QPaintEvent*) {
    if (dimming_.alpha() > 0) QPainter(this).fillRect(rect(), dimming_);
}

void PresentationContainerView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) pressedAt_ = event->position().toPoint();
}

void PresentationContainerView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !pressedAt_) return;
    const QPoint at = event->position().toPoint();
    // A tap: released where it was pressed, not the end of a drag.
    const bool tapped = (at - *pressedAt_).manhattanLength() < 10;
    pressedAt_.reset();
    if (tapped && controller_) controller_->containerTapped(at);
}

void PresentationContainerView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void PresentationContainerView::wheelEvent(QWheelEvent* event) {
    event->accept();
}

}  // namespace ovira

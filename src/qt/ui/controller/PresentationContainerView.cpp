#include "ui/controller/PresentationContainerView.h"

#include <QEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>

#include "ui/controller/PresentationController.h"
#include "ui/controller/TransitionContext.h"

namespace ovira {

PresentationContainerView::PresentationContainerView(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("presentationContainer"));
    setGeometry(window->rect());
    window->installEventFilter(this);
}

bool PresentationContainerView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        if (controller_) {
            // A size change is a short transition of its own: it is over at
            // the next turn of the event loop.
            auto* coordinator = new TransitionContext(this, nullptr, nullptr, false, false, this);
            controller_->viewWillTransitionToSize(size, coordinator);
            QTimer::singleShot(0, coordinator, [coordinator] {
                coordinator->completeTransition(true);
                coordinator->deleteLater();
            });
        }
        setGeometry(QRect(QPoint(), size));
        if (controller_) controller_->containerViewDidLayoutSubviews();
    }
    return false;
}

void PresentationContainerView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void PresentationContainerView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void PresentationContainerView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void PresentationContainerView::wheelEvent(QWheelEvent* event) {
    event->accept();
}

}  // namespace ovira

#include "screens/base/LoadingOverlayView.h"

#include <QEvent>

namespace ovira {

LoadingOverlayView::LoadingOverlayView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("overPlayLoading"));
    setFocusPolicy(Qt::StrongFocus);
}

bool LoadingOverlayView::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            event->accept();
            return true;
        default:
            return QWidget::event(event);
    }
}

}  // namespace ovira

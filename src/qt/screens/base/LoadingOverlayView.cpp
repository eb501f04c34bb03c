#include "screens/base/LoadingOverlayView.h"

#include <QEvent>

#include "resources/Localized.h"

namespace ovira {

LoadingOverlayView::LoadingOverlayView(QWidget* parent) : AccessibleStatus(parent) {
    setObjectName(QStringLiteral("overPlayLoading"));
    setFocusPolicy(Qt::StrongFocus);
}

void LoadingOverlayView::announceBusy() {
    announce(accessibleText("a11y.busy"), accessibleText("a11y.busy_detail"));
}

// Gone, the screen is no longer busy: the next showing is news again.
void LoadingOverlayView::hideEvent(QHideEvent* event) {
    AccessibleStatus::hideEvent(event);
    clear();
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
            return AccessibleStatus::event(event);
    }
}

}  // namespace ovira

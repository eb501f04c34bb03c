#include "ui/view/FocusRing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>

#include "resources/ColorAsset.h"
#include "ui/controller/ViewController.h"

namespace ovira {
namespace {

QPointer<FocusRing>& shared() {
    static QPointer<FocusRing> tracker;
    return tracker;
}

bool isFlowControl(const QWidget* widget) {
    for (const QWidget* ancestor = widget; ancestor; ancestor = ancestor->parentWidget())
        if (qobject_cast<const ViewController*>(ancestor)) return true;
    return false;
}

}  // namespace

FocusRing::FocusRing() : QObject(qApp) {
    qApp->installEventFilter(this);
}

void FocusRing::install() {
    if (!shared()) shared() = new FocusRing;
}

QWidget* FocusRing::target() {
    auto* ring = shared() ? shared()->ring_.data() : nullptr;
    return ring && ring->isVisible() ? ring->widget() : nullptr;
}

void FocusRing::follow(QWidget* widget) {
    if (!ring_ && widget) {
        ring_ = new QFocusFrame;
        ring_->setObjectName(QStringLiteral("focusRing"));
        ring_->setStyleSheet(QStringLiteral("QFocusFrame { border: 2px solid %1; border-radius: 4px; }")
                                 .arg(ColorAsset::primary().color().name()));
    }
    if (ring_) ring_->setWidget(widget);
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                reason == Qt::ShortcutFocusReason;
        if (widget && !widget->isWindow() && widget == QApplication::focusWidget())
            follow(byKeyboard && isFlowControl(widget) && !qobject_cast<QAbstractItemView*>(widget) ? widget
                                                                                                   : nullptr);
    } else if (event->type() == QEvent::FocusOut && ring_ && watched == ring_->widget()) {
        follow(nullptr);
    }
    return false;
}

}  // namespace ovira

#include "ui/view/FocusRing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QPainter>

#include "resources/ColorAsset.h"
#include "ui/controller/ViewController.h"

namespace ovira {
namespace {

class Ring : public QWidget {
public:
    explicit Ring(QWidget* target) : QWidget(target) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setObjectName(QStringLiteral("focusRing"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(ColorAsset::primary().color(), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
};

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
    return shared() && shared()->ring_ && shared()->ring_->isVisible() ? shared()->target_.data() : nullptr;
}

void FocusRing::follow(QWidget* widget) {
    if (target_) target_->removeEventFilter(this);
    delete ring_.data();
    target_ = widget;
    if (!widget) return;
    ring_ = new Ring(widget);
    ring_->setGeometry(widget->rect());
    ring_->raise();
    ring_->show();
    widget->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                reason == Qt::ShortcutFocusReason;
        if (widget && !widget->isWindow() && widget == QApplication::focusWidget() && widget != ring_)
            follow(byKeyboard && isFlowControl(widget) && !qobject_cast<QAbstractItemView*>(widget)
                       ? widget
                       : nullptr);
    } else if (watched == target_) {
        if (event->type() == QEvent::Resize && ring_)
            ring_->setGeometry(target_->rect());
        else if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide)
            follow(nullptr);
    }
    return false;
}

}  // namespace ovira

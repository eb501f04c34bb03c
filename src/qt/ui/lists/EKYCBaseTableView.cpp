#include "ui/lists/EKYCBaseTableView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "resources/HexColor.h"

namespace ovira {

EKYCBaseTableView::EKYCBaseTableView(QWidget* parent)
    : QScrollArea(parent),
      tableSeparator(colorFromHex(u"CBCBCB")),
      content_(new QWidget),
      column_(new QVBoxLayout(content_)),
      separatorColor_(tableSeparator) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);
    column_->addStretch(1);
    content_->setObjectName(QStringLiteral("listContent"));
    content_->installEventFilter(this);
    setWidget(content_);
    setFocusPolicy(Qt::NoFocus);  // the rows' own controls take the focus
}

void EKYCBaseTableView::clear() {
    for (QWidget* widget : rows_ + headers_) {
        column_->removeWidget(widget);
        widget->deleteLater();
    }
    rows_.clear();
    headers_.clear();
    content_->update();
}

void EKYCBaseTableView::addHeader(QWidget* header, int height) {
    header->setFixedHeight(height);
    column_->insertWidget(column_->count() - 1, header);
    headers_.append(header);
}

void EKYCBaseTableView::addRow(QWidget* row, int height) {
    row->setFixedHeight(height);
    // The rows' controls would pass an arrow key to the next control of the
    // window, wrapping around; the list takes it first.
    row->installEventFilter(this);
    for (QWidget* child : row->findChildren<QWidget*>()) child->installEventFilter(this);
    column_->insertWidget(column_->count() - 1, row);
    rows_.append(row);
    content_->update();
}

void EKYCBaseTableView::setSeparatorColor(const QColor& color) {
    separatorColor_ = color;
    content_->update();
}

void EKYCBaseTableView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (event->oldSize().height() != height()) Q_EMIT heightChanged(height());
}

bool EKYCBaseTableView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_ && event->type() == QEvent::Paint && separatorColor_.alpha() > 0) {
        // A line under each row that another row follows.
        QPainter painter(content_);
        for (qsizetype i = 0; i + 1 < rows_.size(); ++i) {
            if (column_->indexOf(rows_[i + 1]) != column_->indexOf(rows_[i]) + 1) continue;
            const QRect row = rows_[i]->geometry();
            painter.fillRect(QRect(row.left(), row.bottom(), row.width(), 1), separatorColor_);
        }
    } else if (event->type() == QEvent::KeyPress) {
        // Up and down leave a row's controls for the neighbouring row's.
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* widget = qobject_cast<QWidget*>(watched);
        qsizetype index = -1;
        for (qsizetype i = 0; i < rows_.size() && widget; ++i)
            if (rows_[i] == widget || rows_[i]->isAncestorOf(widget)) index = i;
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && index >= 0) {
            for (qsizetype next = index + (key == Qt::Key_Down ? 1 : -1); next >= 0 && next < rows_.size();
                 next += key == Qt::Key_Down ? 1 : -1) {
                QWidget* target = rows_[next]->focusPolicy() & Qt::TabFocus ? rows_[next] : nullptr;
                for (QWidget* child : rows_[next]->findChildren<QWidget*>())
                    if (!target && child->isVisibleTo(rows_[next]) && (child->focusPolicy() & Qt::TabFocus))
                        target = child;
                if (target) {
                    target->setFocus(key == Qt::Key_Down ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                    ensureWidgetVisible(target);
                    break;
                }
            }
            return true;  // at either end the focus stays
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace ovira

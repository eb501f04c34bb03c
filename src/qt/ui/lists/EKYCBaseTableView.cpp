#include "ui/lists/EKYCBaseTableView.h"

#include <QApplication>
#include <QPainter>
#include <QResizeEvent>
#include <QShortcut>
#include <QVBoxLayout>

namespace ovira {
namespace {

// The row's first control that Tab would reach, or the row itself if it takes the focus.
QWidget* focusTarget(QWidget* row) {
    if (row->focusPolicy() & Qt::TabFocus) return row;
    for (QWidget* child : row->findChildren<QWidget*>())
        if (child->isVisibleTo(row) && (child->focusPolicy() & Qt::TabFocus)) return child;
    return nullptr;
}

}  // namespace

EKYCBaseTableView::EKYCBaseTableView(QWidget* parent)
    : QScrollArea(parent), content_(new QWidget), column_(new QVBoxLayout(content_)) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setFocusPolicy(Qt::NoFocus);  // the rows' own controls take the focus
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);
    column_->addStretch(1);
    content_->installEventFilter(this);  // to draw the separators over it
    setWidget(content_);
    // Up and Down move between rows before the rows' controls see them (a
    // button would pass them to the next control of the window, wrapping
    // around); at either end the focus stays.
    for (const int step : {-1, 1})
        new QShortcut(step > 0 ? Qt::Key_Down : Qt::Key_Up, this, [this, step] { moveFocus(step); },
                      Qt::WidgetWithChildrenShortcut);
}

void EKYCBaseTableView::clear() {
    while (column_->count() > 1) {  // all but the closing stretch
        QLayoutItem* item = column_->takeAt(0);
        item->widget()->deleteLater();
        delete item;
    }
    rows_.clear();
    content_->update();
}

void EKYCBaseTableView::addHeader(QWidget* header, int height) {
    header->setFixedHeight(height);
    column_->insertWidget(column_->count() - 1, header);
    content_->update();
}

void EKYCBaseTableView::addRow(QWidget* row, int height) {
    addHeader(row, height);
    rows_.append(row);
}

void EKYCBaseTableView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (event->oldSize().height() != height()) Q_EMIT heightChanged(height());
}

void EKYCBaseTableView::moveFocus(int step) {
    QWidget* focus = QApplication::focusWidget();
    qsizetype index = rows_.size() - 1;
    while (index >= 0 && rows_[index] != focus && !rows_[index]->isAncestorOf(focus)) --index;
    if (index < 0) return;
    for (index += step; index >= 0 && index < rows_.size(); index += step) {
        if (QWidget* target = focusTarget(rows_[index])) {
            target->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            ensureWidgetVisible(target);
            return;
        }
    }
}

bool EKYCBaseTableView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_ && event->type() == QEvent::Paint && separatorColor_.alpha() > 0) {
        // A line along the bottom of each row that another row follows.
        QPainter painter(content_);
        for (int i = 0; i + 1 < column_->count(); ++i) {
            QWidget* row = column_->itemAt(i)->widget();
            if (rows_.contains(row) && rows_.contains(column_->itemAt(i + 1)->widget()))
                painter.fillRect(QRect(row->x(), row->geometry().bottom(), row->width(), 1), separatorColor_);
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace ovira

#include "ui/lists/EKYCBaseCollectionView.h"

namespace ovira {

EKYCBaseCollectionView::EKYCBaseCollectionView(QWidget* parent)
    : QScrollArea(parent), content_(new QWidget), row_(new QHBoxLayout(content_)) {
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::NoFocus);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(0);
    row_->setSizeConstraint(QLayout::SetFixedSize);  // as wide as its items
    setWidget(content_);
}

QList<QWidget*> EKYCBaseCollectionView::items() const {
    QList<QWidget*> items;
    for (int i = 0; i < row_->count(); ++i) items.append(row_->itemAt(i)->widget());
    return items;
}

void EKYCBaseCollectionView::clear() {
    while (QLayoutItem* item = row_->takeAt(0)) {
        item->widget()->deleteLater();
        delete item;
    }
}

void EKYCBaseCollectionView::addItem(QWidget* item) {
    row_->addWidget(item);
    sizeItems();
}

void EKYCBaseCollectionView::setItemSize(std::function<QSize(const QSize&)> size) {
    itemSize_ = std::move(size);
    sizeItems();
}

void EKYCBaseCollectionView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    sizeItems();
}

void EKYCBaseCollectionView::sizeItems() {
    const QSize size = itemSize_ ? itemSize_(viewport()->size()) : viewport()->size();
    for (QWidget* item : items()) item->setFixedSize(size);
    row_->activate();
}

}  // namespace ovira

#include "ui/lists/CollectionView.h"

#include <QMouseEvent>
#include <QScrollBar>

namespace ovira {

QSize CollectionView::Delegate::sizeForItem(CollectionView& collection, const IndexPath&) {
    return collection.itemSize;
}

void CollectionViewCell::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void CollectionViewCell::mouseReleaseEvent(QMouseEvent* event) {
    const bool tapped = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (tapped && collection_) static_cast<CollectionView*>(collection_.data())->cellTapped(this);
}

CollectionView::CollectionView(QWidget* parent) : QScrollArea(parent), content_(new QWidget(this)) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setWidget(content_);
    content_->setObjectName(QStringLiteral("collectionContent"));
}

CollectionView::~CollectionView() = default;

void CollectionView::registerCell(const QString& identifier, CellFactory factory) {
    pool_.registerFactory(identifier, std::move(factory));
}

CollectionViewCell* CollectionView::dequeueReusableCell(const QString& identifier, const IndexPath&) {
    CollectionViewCell* cell = pool_.take(identifier);
    if (!cell) return nullptr;
    cell->reuseIdentifier_ = identifier;
    cell->collection_ = this;
    cell->setParent(content_);
    return cell;
}

void CollectionView::reloadData() {
    for (auto* cell : cells_) {
        cell->hide();
        cell->setSelected(false);
        pool_.put(cell);
    }
    cells_.clear();
    if (dataSource_) {
        const int sections = dataSource_->numberOfSections(*this);
        for (int section = 0; section < sections; ++section) {
            const int items = dataSource_->numberOfItems(*this, section);
            for (int item = 0; item < items; ++item)
                if (auto* cell = dataSource_->cellForItem(*this, {section, item}))
                    cells_.insert({section, item}, cell);
        }
    }
    layoutItems();
}

void CollectionView::layoutItems() {
    const bool vertical = scrollDirection == ScrollDirection::vertical;
    setHorizontalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // Along: the direction items fill before wrapping; across: the scrolling one.
    const int along = vertical ? viewport()->width() - sectionInset.left() - sectionInset.right()
                               : viewport()->height() - sectionInset.top() - sectionInset.bottom();
    int lineStart = vertical ? sectionInset.top() : sectionInset.left();
    int position = 0;
    int lineDepth = 0;
    int extent = lineStart;
    for (auto it = cells_.begin(); it != cells_.end(); ++it) {
        const QSize size = delegate_ ? delegate_->sizeForItem(*this, it.key()) : itemSize;
        const int length = vertical ? size.width() : size.height();
        const int depth = vertical ? size.height() : size.width();
        if (position > 0 && position + length > along) {
            lineStart += lineDepth + minimumLineSpacing;
            position = 0;
            lineDepth = 0;
        }
        const QPoint origin = vertical ? QPoint(sectionInset.left() + position, lineStart)
                                       : QPoint(lineStart, sectionInset.top() + position);
        it.value()->setGeometry(QRect(origin, size));
        it.value()->show();
        position += length + minimumInteritemSpacing;
        lineDepth = std::max(lineDepth, depth);
        extent = lineStart + lineDepth;
    }
    extent += vertical ? sectionInset.bottom() : sectionInset.right();
    content_->resize(vertical ? QSize(viewport()->width(), extent) : QSize(extent, viewport()->height()));
}

void CollectionView::cellTapped(CollectionViewCell* cell) {
    for (auto it = cells_.begin(); it != cells_.end(); ++it) {
        it.value()->setSelected(it.value() == cell);
        if (it.value() == cell && delegate_) delegate_->didSelectItem(*this, it.key());
    }
}

void CollectionView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    layoutItems();
}

}  // namespace ovira

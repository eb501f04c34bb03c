#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QMargins>
#include <QScrollArea>
#include <QSize>
#include <functional>

#include "ui/lists/CollectionViewCell.h"
#include "ui/lists/CellReusePool.h"
#include "ui/lists/IndexPath.h"

namespace ovira {

// Items in a flow: a row (or column, when scrolling sideways) fills up
// with items of their own size, then the next one starts. Items are
// reusable cell widgets.
class CollectionView : public QScrollArea {
    Q_OBJECT
public:
    enum class ScrollDirection { vertical, horizontal };

    class DataSource {
    public:
        virtual ~DataSource() = default;
        virtual int numberOfSections(CollectionView&) { return 1; }
        virtual int numberOfItems(CollectionView& collection, int section) = 0;
        virtual CollectionViewCell* cellForItem(CollectionView& collection, const IndexPath& indexPath) = 0;
    };
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual QSize sizeForItem(CollectionView& collection, const IndexPath&);
        virtual void didSelectItem(CollectionView&, const IndexPath&) {}
    };
    using CellFactory = std::function<CollectionViewCell*()>;

    explicit CollectionView(QWidget* parent = nullptr);
    ~CollectionView() override;

    void setDataSource(DataSource* dataSource) { dataSource_ = dataSource; }
    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    void registerCell(const QString& identifier, CellFactory factory);
    CollectionViewCell* dequeueReusableCell(const QString& identifier, const IndexPath& indexPath);

    void reloadData();
    CollectionViewCell* cellForItem(const IndexPath& indexPath) const { return cells_.value(indexPath); }
    QList<CollectionViewCell*> visibleCells() const { return cells_.values(); }

    ScrollDirection scrollDirection = ScrollDirection::vertical;
    QSize itemSize{50, 50};
    int minimumLineSpacing = 10;
    int minimumInteritemSpacing = 10;
    QMargins sectionInset;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class CollectionViewCell;
    void cellTapped(CollectionViewCell* cell);
    void layoutItems();

    DataSource* dataSource_ = nullptr;
    Delegate* delegate_ = nullptr;
    QWidget* content_;
    CellReusePool<CollectionViewCell> pool_;
    QMap<IndexPath, CollectionViewCell*> cells_;
};

}  // namespace ovira

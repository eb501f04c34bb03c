#pragma once

#include <QString>
#include <optional>

#include "platform/FatalError.h"
#include "ui/lists/CollectionView.h"
#include "ui/view/Nib.h"

namespace ovira {

// The library's collections: cells registered and dequeued by class name.
class EKYCBaseCollectionView : public CollectionView {
    Q_OBJECT
public:
    using CollectionView::CollectionView;

    template <class Cell>
    void registerCell() {
        const QString name = unqualifiedClassName(Cell::staticMetaObject);
        CollectionView::registerCell(name, [name] {
            auto* cell = new Cell;
            Nib::instantiate(name, cell);
            return cell;
        });
    }

    // As EKYCBaseTableView::dequeueReusableCell, for an item.
    template <class Cell>
    Cell* dequeueReusableCell(const IndexPath& indexPath,
                              const std::optional<QString>& identifier = std::nullopt) {
        const QString name = identifier.value_or(unqualifiedClassName(Cell::staticMetaObject));
        auto* cell = qobject_cast<Cell*>(CollectionView::dequeueReusableCell(name, indexPath));
        if (!cell)
            fatalError((description() + QStringLiteral(" could not dequeue cell with identifier: ") + name)
                           .toStdString(),
                       "EKYCBaseCollectionView");
        return cell;
    }

    QString description() const;
};

}  // namespace ovira

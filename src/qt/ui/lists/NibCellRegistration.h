#pragma once

#include <QString>

#include "ui/lists/CollectionView.h"
#include "ui/lists/TableView.h"
#include "ui/view/Nib.h"

namespace ovira {

// Registers Cell under its class name, built from the interface description
// of that name and then finished by its awakeFromNib(), which finds its
// outlets and sets what the description cannot (fonts, colours, signals).
template <class Cell>
void registerNibCell(TableView& table) {
    const QString name = unqualifiedClassName(Cell::staticMetaObject);
    table.registerCell(name, [name] {
        auto* cell = new Cell;
        Nib::instantiate(name, cell);
        cell->awakeFromNib();
        return cell;
    });
}

template <class Cell>
void registerNibCell(CollectionView& collection) {
    const QString name = unqualifiedClassName(Cell::staticMetaObject);
    collection.registerCell(name, [name] {
        auto* cell = new Cell;
        Nib::instantiate(name, cell);
        cell->awakeFromNib();
        return cell;
    });
}

}  // namespace ovira

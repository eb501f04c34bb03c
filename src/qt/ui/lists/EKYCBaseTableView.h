#pragma once

#include <QColor>
#include <QString>
#include <optional>

#include "platform/FatalError.h"
#include "ui/lists/TableView.h"
#include "ui/view/Nib.h"

namespace ovira {

// The library's lists: light grey separators, no separator lines under the
// last row, the keyboard pulled down by dragging, no gap above section
// headers, and cells registered and dequeued by their class name.
class EKYCBaseTableView : public TableView {
    Q_OBJECT
public:
    explicit EKYCBaseTableView(Style style = Style::plain, QWidget* parent = nullptr);
    // A plain list, as interface descriptions create it.
    explicit EKYCBaseTableView(QWidget* parent) : EKYCBaseTableView(Style::plain, parent) {}

    const QColor tableSeparator;

    // Registers Cell under its class name, built from the interface
    // description of that name when the bundle has one.
    template <class Cell>
    void registerCell() {
        const QString name = unqualifiedClassName(Cell::staticMetaObject);
        TableView::registerCell(name, [name] {
            auto* cell = new Cell;
            Nib::instantiate(name, cell);
            return cell;
        });
    }

    // A cell of type Cell for the row, dequeued under `identifier` or the
    // class name. Stops the library with "<table> could not dequeue cell
    // with identifier: <identifier>" when none of that type can be had.
    template <class Cell>
    Cell* dequeueReusableCell(const IndexPath& indexPath,
                              const std::optional<QString>& identifier = std::nullopt) {
        const QString name = identifier.value_or(unqualifiedClassName(Cell::staticMetaObject));
        auto* cell = qobject_cast<Cell*>(TableView::dequeueReusableCell(name, indexPath));
        if (!cell)
            fatalError((description() + QStringLiteral(" could not dequeue cell with identifier: ") + name)
                           .toStdString(),
                       "EKYCBaseTableView");
        return cell;
    }

    QString description() const;

private:
    void setupTableView();
};

}  // namespace ovira

#pragma once

#include <QList>
#include <QScrollArea>

#include "resources/HexColor.h"

class QVBoxLayout;

namespace ovira {

// A scrolling column of rows, each a widget of its own (a cell), grouped
// under optional section headers: the library's short lists (document kinds,
// form fields, guides, photographs). Rows stretch to the list's width;
// separators in `tableSeparator` ("CBCBCB") lie between rows, none below the
// last. The arrow keys move the focus from row to row and the list scrolls
// to keep the focused control in view.
class EKYCBaseTableView : public QScrollArea {
    Q_OBJECT
public:
    explicit EKYCBaseTableView(QWidget* parent = nullptr);

    const QColor tableSeparator = colorFromHex(u"CBCBCB");

    // Removes every row and header.
    void clear();
    // Adds a section header of `height` points.
    void addHeader(QWidget* header, int height);
    // Adds a row of `height` points; the list owns it.
    void addRow(QWidget* row, int height);
    template <class Cell>
    Cell* addRow(int height) {
        auto* cell = new Cell;
        addRow(cell, height);
        return cell;
    }
    // The rows, top first (headers not included).
    QList<QWidget*> rows() const { return rows_; }

    void setSeparatorColor(const QColor& color) { separatorColor_ = color; content_->update(); }

Q_SIGNALS:
    // The list's own height changed (rows sized from it follow).
    void heightChanged(int height);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Moves the focus to the first control of the next row down (1) or up (-1) that has one.
    void moveFocus(int step);

    QWidget* content_;
    QVBoxLayout* column_;
    QList<QWidget*> rows_;
    QColor separatorColor_ = tableSeparator;
};

}  // namespace ovira

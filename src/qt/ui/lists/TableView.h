#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QScrollArea>
#include <functional>
#include <optional>

#include "ui/lists/CellReusePool.h"
#include "ui/lists/IndexPath.h"
#include "ui/lists/TableViewCell.h"

namespace ovira {

// A scrolling list of rows made of reusable cell widgets: only the rows in
// view have cells, and cells that scroll away are reused for the rows that
// come into view. Rows are grouped in sections, each with an optional
// header.
class TableView : public QScrollArea {
    Q_OBJECT
public:
    enum class Style { plain, grouped };
    enum class KeyboardDismissMode { none, onDrag, interactive };

    class DataSource {
    public:
        virtual ~DataSource() = default;
        virtual int numberOfSections(TableView&) { return 1; }
        virtual int numberOfRows(TableView& table, int section) = 0;
        virtual TableViewCell* cellForRow(TableView& table, const IndexPath& indexPath) = 0;
    };
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual double heightForRow(TableView& table, const IndexPath&);
        virtual QWidget* viewForHeader(TableView&, int) { return nullptr; }
        virtual double heightForHeader(TableView&, int) { return 0; }
        virtual void didSelectRow(TableView&, const IndexPath&) {}
    };
    using CellFactory = std::function<TableViewCell*()>;

    explicit TableView(Style style = Style::plain, QWidget* parent = nullptr);
    ~TableView() override;

    Style style() const { return style_; }
    void setDataSource(DataSource* dataSource) { dataSource_ = dataSource; }
    void setDelegate(Delegate* delegate) { delegate_ = delegate; }

    // Cells of `identifier` are made by `factory`.
    void registerCell(const QString& identifier, CellFactory factory);
    // A waiting cell of that identifier, or a new one; null when the
    // identifier was never registered.
    TableViewCell* dequeueReusableCell(const QString& identifier, const IndexPath& indexPath);

    void reloadData();
    int numberOfSections() const { return static_cast<int>(rowCounts_.size()); }
    int numberOfRows(int section) const;
    QRect rectForRow(const IndexPath& indexPath) const;
    TableViewCell* cellForRow(const IndexPath& indexPath) const;
    QList<TableViewCell*> visibleCells() const;
    std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
    std::optional<IndexPath> indexPathForCell(const TableViewCell* cell) const;
    void selectRow(const IndexPath& indexPath);
    void deselectRow(const IndexPath& indexPath);

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height) { rowHeight_ = height; }
    QColor separatorColor() const { return separatorColor_; }
    void setSeparatorColor(const QColor& color);
    // Below the last row; without one, a plain table draws separator lines
    // for empty rows down to its bottom edge.
    QWidget* tableFooterView() const { return footer_; }
    void setTableFooterView(QWidget* footer);
    KeyboardDismissMode keyboardDismissMode() const { return keyboardDismissMode_; }
    void setKeyboardDismissMode(KeyboardDismissMode mode) { keyboardDismissMode_ = mode; }
    double sectionHeaderTopPadding() const { return headerTopPadding_; }
    void setSectionHeaderTopPadding(double padding);

    // The y positions of the separator lines currently drawn, in content coordinates.
    QList<int> separatorPositions() const;
    QWidget* contentView() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class TableViewCell;
    class ContentView;
    struct Row {
        IndexPath indexPath;
        int top;
        int height;
    };
    void cellTapped(TableViewCell* cell);
    void relayout();
    void layoutVisibleCells();
    void enqueue(TableViewCell* cell);
    void dismissKeyboard();

    Style style_;
    DataSource* dataSource_ = nullptr;
    Delegate* delegate_ = nullptr;
    ContentView* content_;
    CellReusePool<TableViewCell> pool_;
    QMap<IndexPath, TableViewCell*> visible_;
    QList<QPointer<QWidget>> headers_;
    QList<Row> rows_;
    QList<int> rowCounts_;
    int rowsBottom_ = 0;
    std::optional<IndexPath> selected_;
    double rowHeight_ = 44;
    QColor separatorColor_{0xC6, 0xC6, 0xC8};
    QPointer<QWidget> footer_;
    KeyboardDismissMode keyboardDismissMode_ = KeyboardDismissMode::none;
    double headerTopPadding_ = 22;
};

}  // namespace ovira

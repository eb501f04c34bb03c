#include "ui/lists/TableView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QPainter>
#include <QScrollBar>

namespace ovira {

double TableView::Delegate::heightForRow(TableView& table, const IndexPath&) {
    return table.rowHeight();
}

// The scrolled surface: it carries the cells and draws the separators.
class TableView::ContentView : public QWidget {
public:
    explicit ContentView(TableView* table) : QWidget(table), table_(table) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(table_->separatorColor(), 0.5));
        // Each row's line starts at its cell's separator inset.
        QHash<int, int> insets;
        for (const Row& row : table_->rows_) {
            const TableViewCell* cell = table_->cellForRow(row.indexPath);
            insets.insert(row.top + row.height - 1, cell ? cell->separatorInset().left() : 16);
        }
        for (int y : table_->separatorPositions())
            painter.drawLine(QPointF(insets.value(y, 16), y + 0.25), QPointF(width(), y + 0.25));
    }

private:
    TableView* table_;
};

TableView::TableView(Style style, QWidget* parent)
    : QScrollArea(parent), style_(style), content_(new ContentView(this)) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setWidget(content_);
    content_->setObjectName(QStringLiteral("tableContent"));
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int) { dismissKeyboard(); });
}

TableView::~TableView() = default;

void TableView::registerCell(const QString& identifier, CellFactory factory) {
    pool_.registerFactory(identifier, std::move(factory));
}

TableViewCell* TableView::dequeueReusableCell(const QString& identifier, const IndexPath&) {
    TableViewCell* cell = pool_.take(identifier);
    if (!cell) return nullptr;
    cell->reuseIdentifier_ = identifier;
    cell->table_ = this;
    cell->setParent(content_);
    return cell;
}

int TableView::numberOfRows(int section) const {
    return section >= 0 && section < rowCounts_.size() ? rowCounts_[section] : 0;
}

void TableView::reloadData() {
    for (auto* cell : visible_) enqueue(cell);
    visible_.clear();
    for (auto& header : headers_)
        if (header) header->deleteLater();
    headers_.clear();
    rows_.clear();
    rowCounts_.clear();
    if (selected_) selected_.reset();
    if (!dataSource_) {
        relayout();
        return;
    }
    const int sections = dataSource_->numberOfSections(*this);
    for (int section = 0; section < sections; ++section)
        rowCounts_.append(dataSource_->numberOfRows(*this, section));
    relayout();
}

void TableView::relayout() {
    rows_.clear();
    int y = 0;
    for (int section = 0; section < rowCounts_.size(); ++section) {
        QWidget* header = delegate_ ? delegate_->viewForHeader(*this, section) : nullptr;
        if (header) {
            y += static_cast<int>(headerTopPadding_);
            const int height = static_cast<int>(delegate_->heightForHeader(*this, section));
            header->setParent(content_);
            header->setGeometry(0, y, viewport()->width(), height);
            header->show();
            headers_.append(header);
            y += height;
        }
        for (int row = 0; row < rowCounts_[section]; ++row) {
            const IndexPath indexPath{section, row};
            const int height =
                static_cast<int>(delegate_ ? delegate_->heightForRow(*this, indexPath) : rowHeight_);
            rows_.append({indexPath, y, height});
            y += height;
        }
    }
    rowsBottom_ = y;
    if (footer_) {
        footer_->setGeometry(0, y, viewport()->width(), footer_->height());
        footer_->show();
        y += footer_->height();
    }
    content_->resize(viewport()->width(), std::max(y, viewport()->height()));
    layoutVisibleCells();
    content_->update();
}

void TableView::layoutVisibleCells() {
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height();
    // Rows that left the view give their cells back first, so that rows
    // coming into view can reuse them.
    for (auto it = visible_.begin(); it != visible_.end();) {
        const QRect frame = rectForRow(it.key());
        if (frame.isNull() || frame.top() + frame.height() <= top || frame.top() >= bottom) {
            enqueue(it.value());
            it = visible_.erase(it);
        } else {
            ++it;
        }
    }
    if (!dataSource_) return;
    for (const Row& row : rows_) {
        if (row.top + row.height <= top || row.top >= bottom) continue;
        TableViewCell* cell = visible_.value(row.indexPath);
        if (!cell) {
            cell = dataSource_->cellForRow(*this, row.indexPath);
            if (!cell) continue;
            visible_.insert(row.indexPath, cell);
            cell->setSelected(selected_ == row.indexPath, false);
        }
        cell->setGeometry(0, row.top, viewport()->width(), row.height - 1);
        cell->show();
    }
}

void TableView::enqueue(TableViewCell* cell) {
    cell->hide();
    cell->setSelected(false, false);
    pool_.put(cell);
}

QRect TableView::rectForRow(const IndexPath& indexPath) const {
    for (const Row& row : rows_)
        if (row.indexPath == indexPath) return QRect(0, row.top, viewport()->width(), row.height);
    return {};
}

TableViewCell* TableView::cellForRow(const IndexPath& indexPath) const {
    return visible_.value(indexPath);
}

QList<TableViewCell*> TableView::visibleCells() const {
    return visible_.values();
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell* cell) const {
    for (auto it = visible_.begin(); it != visible_.end(); ++it)
        if (it.value() == cell) return it.key();
    return std::nullopt;
}

void TableView::selectRow(const IndexPath& indexPath) {
    if (selected_ && *selected_ != indexPath) deselectRow(*selected_);
    selected_ = indexPath;
    if (auto* cell = cellForRow(indexPath)) cell->setSelected(true, false);
}

void TableView::deselectRow(const IndexPath& indexPath) {
    if (auto* cell = cellForRow(indexPath)) cell->setSelected(false, false);
    if (selected_ == indexPath) selected_.reset();
}

void TableView::cellTapped(TableViewCell* cell) {
    const auto indexPath = indexPathForCell(cell);
    if (!indexPath) return;
    selectRow(*indexPath);
    if (delegate_) delegate_->didSelectRow(*this, *indexPath);
}

void TableView::setSeparatorColor(const QColor& color) {
    separatorColor_ = color;
    content_->update();
}

void TableView::setTableFooterView(QWidget* footer) {
    if (footer_ && footer_ != footer) footer_->deleteLater();
    footer_ = footer;
    if (footer_) footer_->setParent(content_);
    relayout();
}

void TableView::setSectionHeaderTopPadding(double padding) {
    headerTopPadding_ = padding;
    relayout();
}

QList<int> TableView::separatorPositions() const {
    QList<int> positions;
    for (const Row& row : rows_) positions.append(row.top + row.height - 1);
    // A plain table without a footer lines its empty space like more rows.
    if (style_ == Style::plain && !footer_) {
        for (int y = rowsBottom_ + static_cast<int>(rowHeight_) - 1; y < content_->height();
             y += static_cast<int>(rowHeight_))
            positions.append(y);
    }
    return positions;
}

QWidget* TableView::contentView() const {
    return content_;
}

void TableView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    relayout();
}

void TableView::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    layoutVisibleCells();
}

void TableView::wheelEvent(QWheelEvent* event) {
    dismissKeyboard();
    QScrollArea::wheelEvent(event);
}

void TableView::dismissKeyboard() {
    if (keyboardDismissMode_ == KeyboardDismissMode::none) return;
    // Dragging the list pulls the keyboard down.
    if (auto* focus = QApplication::focusWidget(); focus && focus->testAttribute(Qt::WA_InputMethodEnabled)) {
        focus->clearFocus();
        QGuiApplication::inputMethod()->hide();
    }
}

}  // namespace ovira

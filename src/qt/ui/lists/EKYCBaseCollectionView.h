#pragma once

#include <QHBoxLayout>
#include <QList>
#include <QScrollArea>
#include <QSize>
#include <functional>

namespace ovira {

// A row of items of one size that scrolls sideways (the face guide's
// pictures, the photographs under review, a page each).
class EKYCBaseCollectionView : public QScrollArea {
    Q_OBJECT
public:
    explicit EKYCBaseCollectionView(QWidget* parent = nullptr);

    void clear();
    // Adds an item; the collection owns it.
    void addItem(QWidget* item);
    template <class Cell>
    Cell* addItem() {
        auto* cell = new Cell;
        addItem(cell);
        return cell;
    }
    QList<QWidget*> items() const;

    // Every item's size, from the size of the visible area; by default an
    // item is a page: the whole visible area.
    void setItemSize(std::function<QSize(const QSize& visible)> size);
    void setSpacing(int spacing) { row_->setSpacing(spacing); }
    void setInsets(const QMargins& insets) { row_->setContentsMargins(insets); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void sizeItems();

    QWidget* content_;
    QHBoxLayout* row_;
    std::function<QSize(const QSize&)> itemSize_;
};

}  // namespace ovira

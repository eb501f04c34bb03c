#pragma once

#include <QColor>
#include <QMargins>
#include <QPointer>
#include <QWidget>

namespace ovira {

class TableView;

// A row of a TableView. Its reuse identifier is the one it was dequeued
// with; a cell that scrolls away waits in its table's pool to show
// another row.
class TableViewCell : public QWidget {
    Q_OBJECT
public:
    explicit TableViewCell(QWidget* parent = nullptr);

    const QString& reuseIdentifier() const { return reuseIdentifier_; }
    TableView* tableView() const;

    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected, bool animated);
    bool isEditing() const { return editing_; }
    void setEditing(bool editing) { editing_ = editing; }

    // Shown behind the row's content while it is selected; the cell owns it.
    QWidget* selectedBackgroundView() const { return selectedBackground_; }
    void setSelectedBackgroundView(QWidget* view);

    QMargins separatorInset() const { return separatorInset_; }
    void setSeparatorInset(const QMargins& inset) { separatorInset_ = inset; }
    QColor tintColor() const { return tint_; }
    void setTintColor(const QColor& color) { tint_ = color; }

    // Called before the cell shows another row.
    virtual void prepareForReuse() {}

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TableView;
    QString reuseIdentifier_;
    QPointer<QWidget> table_;  // the TableView
    bool selected_ = false;
    bool editing_ = false;
    bool pressed_ = false;
    QPointer<QWidget> selectedBackground_;
    QMargins separatorInset_{16, 0, 0, 0};
    QColor tint_{0, 122, 255};
};

}  // namespace ovira

#pragma once

#include <QStyledItemDelegate>

namespace ovira {

// Draws one entry of a selection list: the value, and for the field's
// current value blue text and a tick; a light blue-grey ("E9ECF7") row
// under the pointer or the keyboard's focus, and a separator below every
// entry but the last. A value too long for the row's width wraps, and the
// row grows with it.
class EKYCSelectionTableViewCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int rowHeight = 56;  // the least; larger text makes rows taller

    using QStyledItemDelegate::QStyledItemDelegate;

    // The height of a row of one line of text in the present text scale.
    static int singleLineRowHeight();

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace ovira

#include "screens/selection/EKYCSelectionTableViewCell.h"

#include <QAbstractItemView>
#include <QPainter>
#include <algorithm>

#include "resources/ColorAsset.h"
#include "resources/EKYCImage.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "screens/selection/EKYCSelectionListModel.h"

namespace ovira {
namespace {

constexpr int kMargin = 20;
constexpr int kTick = 20;
constexpr int kTickGap = 12;
constexpr int kVerticalPadding = 12;
constexpr int kTextFlags = Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap;

// Where the text of an entry goes in a row of `width` points.
int textWidth(int width, bool selected) {
    return std::max(1, width - 2 * kMargin - (selected ? kTick + kTickGap : 0));
}

}  // namespace

void EKYCSelectionTableViewCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    const QRect row = option.rect;
    const bool selected = index.data(EKYCSelectionListModel::selectedRole).toBool();
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool focused = view && view->hasFocus() && view->currentIndex() == index;
    painter->save();
    painter->fillRect(row, (option.state & QStyle::State_MouseOver) || focused ? colorFromHex(u"E9ECF7")
                                                                               : QColor(Qt::white));
    if (focused) {
        // The keyboard's place, visible without colour alone.
        painter->setPen(QPen(ColorAsset::primary().color(), 2));
        painter->drawRect(row.adjusted(1, 1, -2, -2));
    }
    QRect text = row.adjusted(kMargin, 0, -kMargin, 0);
    if (selected) {
        const QRect tick(row.right() - kMargin - kTick + 1, row.center().y() - kTick / 2, kTick, kTick);
        ImageAsset::image(QStringLiteral("ic_check")).paint(*painter, tick);
        text.setRight(tick.left() - kTickGap);
    }
    painter->setFont(systemFont(14));
    painter->setPen(selected ? ColorAsset::primary().color() : ColorAsset::blackAAA().color());
    painter->drawText(text, kTextFlags, index.data().toString());
    if (index.row() + 1 < index.model()->rowCount(index.parent()))
        painter->fillRect(QRect(row.left(), row.bottom(), row.width(), 1), colorFromHex(u"CBCBCB"));
    painter->restore();
}

int EKYCSelectionTableViewCell::singleLineRowHeight() {
    return std::max(rowHeight, QFontMetrics(systemFont(14)).height() + 2 * kVerticalPadding);
}

QSize EKYCSelectionTableViewCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    // Taller rows when the text is enlarged or wraps, never shorter than the design's.
    const auto* view = qobject_cast<const QAbstractItemView*>(parent());
    const int width = view ? view->viewport()->width() : option.rect.width();
    const bool selected = index.data(EKYCSelectionListModel::selectedRole).toBool();
    const QRect text = QFontMetrics(systemFont(14)).boundingRect(QRect(0, 0, textWidth(width, selected), 100000),
                                                                 kTextFlags, index.data().toString());
    return {width, std::max(singleLineRowHeight(), text.height() + 2 * kVerticalPadding)};
}

}  // namespace ovira

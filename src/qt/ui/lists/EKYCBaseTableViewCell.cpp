#include "ui/lists/EKYCBaseTableViewCell.h"

#include "resources/HexColor.h"

namespace ovira {
namespace {

QWidget* plainView(const QColor& color) {
    auto* view = new QWidget;
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, color);
    view->setPalette(palette);
    return view;
}

}  // namespace

EKYCBaseTableViewCell::EKYCBaseTableViewCell(QWidget* parent)
    : TableViewCell(parent), selectedColor(colorFromHex(u"E9ECF7")) {
    EKYCBaseTableViewCell::setupCell();
}

void EKYCBaseTableViewCell::setupCell() {
    setTintColor(colorFromHex(u"0088FF"));
    setSeparatorInset(QMargins());
    setSelectedBackgroundView(plainView(selectedColor));
}

void EKYCBaseTableViewCell::setSelected(bool selected, bool animated) {
    if (!isEnableHighlight) return;
    TableViewCell::setSelected(selected, animated);
    if (isEditing() && selected) {
        auto* clear = plainView(Qt::transparent);
        clear->setAutoFillBackground(false);
        setSelectedBackgroundView(clear);
        clear->setVisible(true);
    }
}

}  // namespace ovira

#include "ui/lists/EKYCBaseTableView.h"

#include "resources/HexColor.h"
#include "ui/view/ViewLayer.h"

namespace ovira {

EKYCBaseTableView::EKYCBaseTableView(Style style, QWidget* parent)
    : TableView(style, parent), tableSeparator(colorFromHex(u"CBCBCB")) {
    setupTableView();
}

void EKYCBaseTableView::setupTableView() {
    if (style() == Style::plain) {
        // An empty footer ends the separators at the last row.
        auto* footer = new QWidget;
        footer->resize(width(), 1);
        setTableFooterView(footer);
    }
    setSeparatorColor(tableSeparator);
    auto* layer = ViewLayer::of(this);
    layer->setBorderColor(tableSeparator);
    layer->setBorderWidth(0);
    setKeyboardDismissMode(KeyboardDismissMode::interactive);
    setSectionHeaderTopPadding(0);
}

QString EKYCBaseTableView::description() const {
    return QStringLiteral("<%1: 0x%2; frame = (%3 %4; %5 %6)>")
        .arg(unqualifiedClassName(*metaObject()))
        .arg(reinterpret_cast<quintptr>(this), 0, 16)
        .arg(x())
        .arg(y())
        .arg(width())
        .arg(height());
}

}  // namespace ovira

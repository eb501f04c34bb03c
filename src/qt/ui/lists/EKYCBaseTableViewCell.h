#pragma once

#include <QWidget>
#include <any>

#include "resources/HexColor.h"

namespace ovira {

// The library's rows. Their background follows their style sheet; a row
// built around a control of its own shows a press on the control, in
// `selectedColor` (a light blue-grey, "E9ECF7").
class EKYCBaseTableViewCell : public QWidget {
    Q_OBJECT
public:
    explicit EKYCBaseTableViewCell(QWidget* parent = nullptr) : QWidget(parent) {
        setAttribute(Qt::WA_StyledBackground);
    }

    const QColor selectedColor = colorFromHex(u"E9ECF7");

    // Shows an item; each row type overrides it.
    virtual void configure(const std::any& item) { (void)item; }
};

}  // namespace ovira

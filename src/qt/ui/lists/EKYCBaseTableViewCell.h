#pragma once

#include <QColor>
#include <any>

#include "ui/lists/TableViewCell.h"

namespace ovira {

// The library's rows: blue tint, separators from edge to edge, and a light
// blue-grey ("E9ECF7") background when selected, unless highlighting is off.
class EKYCBaseTableViewCell : public TableViewCell {
    Q_OBJECT
public:
    explicit EKYCBaseTableViewCell(QWidget* parent = nullptr);

    bool isEnableHighlight = true;
    QColor selectedColor;

    // Shows an item; each row type overrides it.
    virtual void configure(const std::any& item) { (void)item; }
    void setSelected(bool selected, bool animated) override;

protected:
    // Once, at the end of construction.
    virtual void setupCell();
};

}  // namespace ovira

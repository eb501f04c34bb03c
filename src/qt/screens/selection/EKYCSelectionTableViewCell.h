#pragma once

#include <QLabel>

#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ImageView.h"

namespace ovira {

// One entry of a selection list; the field's current value is blue and ticked.
class EKYCSelectionTableViewCell : public EKYCBaseTableViewCell {
    Q_OBJECT
public:
    using EKYCBaseTableViewCell::EKYCBaseTableViewCell;

    QLabel* lbTitle = nullptr;
    ImageView* imgSelected = nullptr;

    void awakeFromNib();
    // Takes an EKYCSelectionItem; anything else leaves the row as it is.
    void configure(const std::any& item) override;
};

}  // namespace ovira

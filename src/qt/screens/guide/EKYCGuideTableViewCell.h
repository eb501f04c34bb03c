#pragma once

#include <QLabel>

#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ImageView.h"

namespace ovira {

// One note of the document guide, after a tick.
class EKYCGuideTableViewCell : public EKYCBaseTableViewCell {
    Q_OBJECT
public:
    using EKYCBaseTableViewCell::EKYCBaseTableViewCell;

    QLabel* lbGuide = nullptr;

    void awakeFromNib();
    // Takes a std::string; anything else shows no text.
    void configure(const std::any& item) override;
    // The row's height for `text` at `width`: the wrapped note and its padding.
    static int heightFor(const QString& text, int width);
};

}  // namespace ovira

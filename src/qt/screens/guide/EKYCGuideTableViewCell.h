#pragma once

#include <QLabel>

#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ImageView.h"
#include "ui_EKYCGuideTableViewCell.h"

namespace ovira {

// One note of the document guide, after a tick.
class EKYCGuideTableViewCell : public EKYCBaseTableViewCell, public Ui::EKYCGuideTableViewCell {
    Q_OBJECT
public:
    explicit EKYCGuideTableViewCell(QWidget* parent = nullptr);

    // Takes a std::string; anything else shows no text.
    void configure(const std::any& item) override;
    // The row's height for `text` at `width`: the wrapped note and its padding.
    static int heightFor(const QString& text, int width);
};

}  // namespace ovira

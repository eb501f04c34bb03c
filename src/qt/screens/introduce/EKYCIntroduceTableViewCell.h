#pragma once

#include <QLabel>
#include <QPushButton>
#include <functional>

#include "ovira/EkycTypeDocument.h"
#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ImageView.h"
#include "ui_EKYCIntroduceTableViewCell.h"

namespace ovira {

// A document kind the user can choose: its icon and name on a card that
// fills the row inside 16-point margins.
class EKYCIntroduceTableViewCell : public EKYCBaseTableViewCell, public Ui::EKYCIntroduceTableViewCell {
    Q_OBJECT
public:
    explicit EKYCIntroduceTableViewCell(QWidget* parent = nullptr);

    std::function<void()> onCLickedDocument;

    // Takes an EkycTypeDocument; anything else leaves the row as it is.
    void configure(const std::any& item) override;

    void selectedDocument();

    // The row is as tall as its card needs (the name wraps and grows with
    // the text), which a button does not report of the layout inside it.
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
};

}  // namespace ovira

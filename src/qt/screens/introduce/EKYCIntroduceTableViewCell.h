#pragma once

#include <QLabel>
#include <QPushButton>
#include <functional>

#include "ovira/EkycTypeDocument.h"
#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ImageView.h"

namespace ovira {

// A document kind the user can choose: its icon and name on a card that
// fills the row inside 16-point margins.
class EKYCIntroduceTableViewCell : public EKYCBaseTableViewCell {
    Q_OBJECT
public:
    using EKYCBaseTableViewCell::EKYCBaseTableViewCell;

    ImageView* imgDocument = nullptr;
    QLabel* lbDocument = nullptr;
    QPushButton* btnDocument = nullptr;  // the card: the row's tappable area
    std::function<void()> onCLickedDocument;

    void awakeFromNib();
    // Takes an EkycTypeDocument; anything else leaves the row as it is.
    void configure(const std::any& item) override;
    void prepareForReuse() override;

    void selectedDocument();
};

}  // namespace ovira

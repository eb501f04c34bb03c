#pragma once

#include <QLabel>
#include <QPushButton>
#include <functional>

#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ImageView.h"

namespace ovira {

// An accepted photograph on a card, marked valid; tapping the card opens
// the photograph full screen.
class EKYCVerifyTableViewCell : public EKYCBaseTableViewCell {
    Q_OBJECT
public:
    using EKYCBaseTableViewCell::EKYCBaseTableViewCell;

    ImageView* imgPhotograph = nullptr;
    QLabel* lbStateImage = nullptr;
    QPushButton* btnPreviewPhoto = nullptr;
    std::function<void()> onTapPhotograph;

    void awakeFromNib();
    // Takes a QImage; anything else shows no photograph.
    void configure(const std::any& item) override;
    void prepareForReuse() override;

    void onCLickedPhoto();
    void onClickedPreviewPhoto();
};

}  // namespace ovira

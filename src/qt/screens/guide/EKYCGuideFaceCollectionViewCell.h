#pragma once

#include <QLabel>

#include "ui/lists/EKYCBaseCollectionViewCell.h"
#include "ui/view/ImageView.h"

namespace ovira {

// One rule of the face guide: an illustration, its verdict (a tick or a
// cross) and a caption, on a light card.
class EKYCGuideFaceCollectionViewCell : public EKYCBaseCollectionViewCell {
    Q_OBJECT
public:
    using EKYCBaseCollectionViewCell::EKYCBaseCollectionViewCell;

    ImageView* imgGuide = nullptr;
    ImageView* imgWarning = nullptr;
    QLabel* lbGuide = nullptr;

    void awakeFromNib();
    // Takes an EKYCGuideFaceCellViewModel; anything else clears the item.
    void configure(const std::any& item) override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ovira

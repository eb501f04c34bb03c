#pragma once

#include "ui/lists/EKYCBaseCollectionViewCell.h"
#include "ui/view/ImageView.h"

namespace ovira {

// One page of the review: a photograph, whole, on the dark background.
class EKYCReviewCollectionViewCell : public EKYCBaseCollectionViewCell {
    Q_OBJECT
public:
    using EKYCBaseCollectionViewCell::EKYCBaseCollectionViewCell;

    ImageView* imgPhotograph = nullptr;

    void awakeFromNib();
    // Takes a QImage; anything else shows nothing.
    void configure(const std::any& item) override;
};

}  // namespace ovira

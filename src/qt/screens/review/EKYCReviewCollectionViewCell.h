#pragma once

#include "ui/lists/EKYCBaseCollectionViewCell.h"
#include "ui/view/ImageView.h"
#include "ui_EKYCReviewCollectionViewCell.h"

namespace ovira {

// One page of the review: a photograph, whole, on the dark background.
class EKYCReviewCollectionViewCell : public EKYCBaseCollectionViewCell,
                                     public Ui::EKYCReviewCollectionViewCell {
    Q_OBJECT
public:
    explicit EKYCReviewCollectionViewCell(QWidget* parent = nullptr);

    // Takes a QImage; anything else shows nothing.
    void configure(const std::any& item) override;
};

}  // namespace ovira

#include "screens/review/EKYCReviewCollectionViewCell.h"

#include <QImage>

#include "resources/EKYCTheme.h"

namespace ovira {

EKYCReviewCollectionViewCell::EKYCReviewCollectionViewCell(QWidget* parent)
    : EKYCBaseCollectionViewCell(parent) {
    setupUi(this);
    imgPhotograph->setContentMode(ImageView::ContentMode::scaleAspectFit);
    imgPhotograph->setCornerRadius(EKYCTheme::radius(12));
}

void EKYCReviewCollectionViewCell::configure(const std::any& item) {
    if (const auto* photo = std::any_cast<QImage>(&item))
        imgPhotograph->setPhoto(*photo);
    else
        imgPhotograph->clear();
}

}  // namespace ovira

#include "screens/review/EKYCReviewCollectionViewCell.h"

#include <QImage>

#include "ui/view/Outlet.h"

namespace ovira {

void EKYCReviewCollectionViewCell::awakeFromNib() {
    imgPhotograph = outlet<ImageView>(this, "imgPhotograph");
    imgPhotograph->setContentMode(ImageView::ContentMode::scaleAspectFit);
    imgPhotograph->setCornerRadius(12);
}

void EKYCReviewCollectionViewCell::configure(const std::any& item) {
    if (const auto* photo = std::any_cast<QImage>(&item))
        imgPhotograph->setPhoto(*photo);
    else
        imgPhotograph->clear();
}

}  // namespace ovira

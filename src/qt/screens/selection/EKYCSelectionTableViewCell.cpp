#include "screens/selection/EKYCSelectionTableViewCell.h"

#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "screens/selection/EKYCSelectionItem.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

void EKYCSelectionTableViewCell::awakeFromNib() {
    lbTitle = outlet<QLabel>(this, "lbTitle");
    imgSelected = outlet<ImageView>(this, "imgSelected");
    lbTitle->setText(QString());
    lbTitle->setFont(systemFont(14));
    imgSelected->setImage(ImageAsset::image(QStringLiteral("ic_check")));
}

void EKYCSelectionTableViewCell::configure(const std::any& item) {
    const auto* entry = std::any_cast<EKYCSelectionItem>(&item);
    if (!entry) return;
    lbTitle->setText(QString::fromStdString(entry->value));
    setTextColor(lbTitle, entry->isSelected ? ColorAsset::primary().color() : ColorAsset::blackAAA().color());
    imgSelected->setVisible(entry->isSelected);
}

}  // namespace ovira

#include "screens/guide/EKYCGuideFaceCollectionViewCell.h"

#include <QPainter>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "screens/guide/EKYCGuideFaceCellViewModel.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

void EKYCGuideFaceCollectionViewCell::awakeFromNib() {
    imgGuide = outlet<ImageView>(this, "imgGuide");
    imgWarning = outlet<ImageView>(this, "imgWarning");
    lbGuide = outlet<QLabel>(this, "lbGuide");
    lbGuide->setFont(systemFont(14));
    setTextColor(lbGuide, ColorAsset::blackAAA().color());
    imgWarning->raise();
}

void EKYCGuideFaceCollectionViewCell::configure(const std::any& item) {
    const auto* rule = std::any_cast<EKYCGuideFaceCellViewModel>(&item);
    if (!rule) {
        imgGuide->clear();
        imgWarning->clear();
        lbGuide->clear();
        return;
    }
    imgGuide->setImage(ImageAsset::image(QString::fromStdString(rule->image)));
    imgWarning->setImage(ImageAsset::image(QString::fromStdString(rule->icon)));
    lbGuide->setText(QString::fromStdString(rule->title));
}

void EKYCGuideFaceCollectionViewCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colorFromHex(u"F5F7FB"));
    const qreal radius = EKYCTheme::radius(12);
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
}

}  // namespace ovira

#include "screens/guide/EKYCGuideFaceCollectionViewCell.h"

#include <QPainter>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "resources/Localized.h"
#include "screens/guide/EKYCGuideFaceCellViewModel.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCGuideFaceCollectionViewCell::EKYCGuideFaceCollectionViewCell(QWidget* parent)
    : EKYCBaseCollectionViewCell(parent) {
    setupUi(this);
    lbGuide->setFont(systemFont(14));
    setTextColor(lbGuide, ColorAsset::blackAAA().color());
    imgWarning->raise();
}

void EKYCGuideFaceCollectionViewCell::configure(const std::any& item) {
    const auto* rule = std::any_cast<EKYCGuideFaceCellViewModel>(&item);
    if (!rule) {
        imgGuide->clear();
        imgWarning->clear();
        imgWarning->setAccessibleName(QString());
        lbGuide->clear();
        return;
    }
    imgGuide->setImage(ImageAsset::image(QString::fromStdString(rule->image)));
    imgWarning->setImage(ImageAsset::image(QString::fromStdString(rule->icon)));
    lbGuide->setText(QString::fromStdString(rule->title));
    // The tick or the cross is the rule's verdict: read out with the caption.
    // The illustration says no more than the caption, so it stays unnamed.
    imgWarning->setAccessibleName(accessibleText(rule->icon == "ic_verify" ? "a11y.guide_do" : "a11y.guide_dont"));
    imgWarning->setAccessibleDescription(lbGuide->text());
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

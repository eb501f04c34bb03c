#include "screens/confirm/EKYCVerifyTableViewCell.h"

#include <QImage>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "resources/Localized.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

void EKYCVerifyTableViewCell::awakeFromNib() {
    imgPhotograph = outlet<ImageView>(this, "imgPhotograph");
    lbStateImage = outlet<QLabel>(this, "lbStateImage");
    btnPreviewPhoto = outlet<QPushButton>(this, "btnPreviewPhoto");
    isEnableHighlight = false;
    lbStateImage->setText(localizedText("verify.valid"));
    setTextColor(lbStateImage, ColorAsset::blackAAA().color());
    lbStateImage->setFont(systemFont(12));
    outlet<ImageView>(this, "imgState")->setImage(ImageAsset::image(QStringLiteral("ic_verify")));
    imgPhotograph->setContentMode(ImageView::ContentMode::scaleAspectFill);
    imgPhotograph->setCornerRadius(EKYCTheme::radius(8));
    btnPreviewPhoto->setStyleSheet(
        QStringLiteral("QPushButton#btnPreviewPhoto { background: #FFFFFF; border: 1px solid %1;"
                       " border-radius: %3px; }"
                       "QPushButton#btnPreviewPhoto:pressed { background: %2; }")
            .arg(colorFromHex(u"E3E7EF").name(), selectedColor.name())
            .arg(EKYCTheme::pixelRadius(12)));
    btnPreviewPhoto->setCursor(Qt::PointingHandCursor);
    connect(btnPreviewPhoto, &QPushButton::clicked, this, &EKYCVerifyTableViewCell::onClickedPreviewPhoto);
}

void EKYCVerifyTableViewCell::configure(const std::any& item) {
    if (const auto* photo = std::any_cast<QImage>(&item))
        imgPhotograph->setPhoto(*photo);
    else
        imgPhotograph->clear();
}

void EKYCVerifyTableViewCell::prepareForReuse() {
    onTapPhotograph = nullptr;
}

void EKYCVerifyTableViewCell::onCLickedPhoto() {
    if (onTapPhotograph) onTapPhotograph();
}

void EKYCVerifyTableViewCell::onClickedPreviewPhoto() {
    if (onTapPhotograph) onTapPhotograph();
}

}  // namespace ovira

#include "screens/introduce/EKYCIntroduceTableViewCell.h"

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "resources/Localized.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

void EKYCIntroduceTableViewCell::awakeFromNib() {
    imgDocument = outlet<ImageView>(this, "imgDocument");
    lbDocument = outlet<QLabel>(this, "lbDocument");
    btnDocument = outlet<QPushButton>(this, "btnDocument");
    outlet<ImageView>(this, "imgChevron")->setImage(ImageAsset::image(QStringLiteral("ic_chevron_right")));
    isEnableHighlight = false;
    lbDocument->setFont(boldSystemFont(14));
    setTextColor(lbDocument, ColorAsset::blackAAA().color());
    btnDocument->setStyleSheet(
        QStringLiteral("QPushButton#btnDocument { background: #FFFFFF; border: 1px solid %1;"
                       " border-radius: %3px; }"
                       "QPushButton#btnDocument:pressed { background: %2; }")
            .arg(colorFromHex(u"E3E7EF").name(), selectedColor.name())
            .arg(EKYCTheme::pixelRadius(12)));
    btnDocument->setCursor(Qt::PointingHandCursor);
    connect(btnDocument, &QPushButton::clicked, this, &EKYCIntroduceTableViewCell::selectedDocument);
}

void EKYCIntroduceTableViewCell::configure(const std::any& item) {
    const auto* kind = std::any_cast<EkycTypeDocument>(&item);
    if (!kind) return;
    const char* key = "intro.idCard";
    QString icon = QStringLiteral("ic_idCard");
    switch (*kind) {
        case EkycTypeDocument::idCard:
            break;
        case EkycTypeDocument::passport:
            key = "intro.passport";
            icon = QStringLiteral("ic_passport");
            break;
        case EkycTypeDocument::licenseDriver:
            key = "intro.license_driver";
            icon = QStringLiteral("ic_licenseDriver");
            break;
    }
    lbDocument->setText(localizedText(key));
    imgDocument->setImage(ImageAsset::image(icon));
}

void EKYCIntroduceTableViewCell::prepareForReuse() {
    onCLickedDocument = nullptr;
}

void EKYCIntroduceTableViewCell::selectedDocument() {
    if (onCLickedDocument) onCLickedDocument();
}

}  // namespace ovira

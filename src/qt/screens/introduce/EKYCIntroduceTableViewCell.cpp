#include "screens/introduce/EKYCIntroduceTableViewCell.h"

#include <QLayout>
#include <algorithm>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "resources/Localized.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCIntroduceTableViewCell::EKYCIntroduceTableViewCell(QWidget* parent) : EKYCBaseTableViewCell(parent) {
    setupUi(this);
    imgChevron->setImage(ImageAsset::image(QStringLiteral("ic_chevron_right")));
    lbDocument->setFont(boldSystemFont(14));
    lbDocument->setWordWrap(true);
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
    // The card is the button; its label and icon lie over it.
    btnDocument->setAccessibleName(lbDocument->text());
    btnDocument->setAccessibleDescription(accessibleText("a11y.document_hint"));
}

int EKYCIntroduceTableViewCell::heightForWidth(int width) const {
    const QMargins row = contentLayout->contentsMargins();
    QLayout* card = btnDocument->layout();
    const int inner = std::max(0, width - row.left() - row.right());
    const int cardHeight = card->hasHeightForWidth() ? card->totalHeightForWidth(inner) : card->totalSizeHint().height();
    return row.top() + cardHeight + row.bottom();
}

QSize EKYCIntroduceTableViewCell::sizeHint() const {
    const int width = this->width() > 0 ? this->width() : EKYCBaseTableViewCell::sizeHint().width();
    return {EKYCBaseTableViewCell::sizeHint().width(), heightForWidth(width)};
}

void EKYCIntroduceTableViewCell::selectedDocument() {
    if (onCLickedDocument) onCLickedDocument();
}

}  // namespace ovira

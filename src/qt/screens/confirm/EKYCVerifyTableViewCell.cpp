#include "screens/confirm/EKYCVerifyTableViewCell.h"

#include <QImage>
#include <QLayout>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "resources/Localized.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCVerifyTableViewCell::EKYCVerifyTableViewCell(QWidget* parent) : EKYCBaseTableViewCell(parent) {
    setupUi(this);
    lbStateImage->setText(localizedText("verify.valid"));
    setTextColor(lbStateImage, ColorAsset::blackAAA().color());
    lbStateImage->setFont(systemFont(12));
    imgState->setImage(ImageAsset::image(QStringLiteral("ic_verify")));
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

// The photograph and the card that opens it are read out by what the
// photograph shows; the card says what a tap does.
void EKYCVerifyTableViewCell::setPhotographName(const QString& name) {
    imgPhotograph->setAccessibleName(name);
    btnPreviewPhoto->setAccessibleName(name);
    btnPreviewPhoto->setAccessibleDescription(accessibleText("a11y.open_photo"));
}

int EKYCVerifyTableViewCell::minimumRowHeight() const {
    const QMargins row = contentLayout->contentsMargins();
    return row.top() + btnPreviewPhoto->layout()->totalMinimumSize().height() + row.bottom();
}

void EKYCVerifyTableViewCell::onCLickedPhoto() {
    if (onTapPhotograph) onTapPhotograph();
}

void EKYCVerifyTableViewCell::onClickedPreviewPhoto() {
    if (onTapPhotograph) onTapPhotograph();
}

}  // namespace ovira

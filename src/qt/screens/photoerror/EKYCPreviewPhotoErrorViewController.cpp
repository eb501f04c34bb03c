#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"

#include <QPointer>

#include "platform/QImageAdapter.h"
#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "ui/controller/NavigationController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCPreviewPhotoErrorViewController::EKYCPreviewPhotoErrorViewController(QWidget* parent)
    : EKYCBaseViewController(parent) {
    setupUi(this);
}

void EKYCPreviewPhotoErrorViewController::setupUI() {
    QPointer<EKYCPreviewPhotoErrorViewController> screen(this);
    navigationItem()->setLeftBarButtonItem(
        BarButtonItem{ImageAsset::image(QStringLiteral("ic_close")), QString(), [screen] {
                          if (screen) screen->didTapClose();
                      },
                      accessibleText("a11y.close")});
    setBackgroundColor(this, Qt::white);
    setMaximumContentWidth(readableContentWidth);
    lbTitle->setFont(boldSystemFont(24));
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    lbError->setFont(systemFont(15));
    setTextColor(lbError, ColorAsset::red().color());
    vError->setStyleSheet(QStringLiteral("#vError { background: #FDEDED; border-radius: %1px; }")
                              .arg(EKYCTheme::pixelRadius(12)));
    imgErrorBadge->setImage(ImageAsset::image(QStringLiteral("ic_ unverified")));
    imgUnverified->setContentMode(ImageView::ContentMode::scaleAspectFit);
    imgUnverified->setCornerRadius(EKYCTheme::radius(12));
    setWrappingText(btnRetakePhoto, localizedText("capture.retake"));
    btnRetakePhoto->setFont(systemFont(16));
    styleFilledButton(btnRetakePhoto, ColorAsset::primary().color(), Qt::white, EKYCTheme::pixelRadius(8),
                      ColorAsset::disable().color(), ColorAsset::secondText().color());
    setWrappingText(btnGuide, localizedText("guide.how_to"));
    btnGuide->setIcon(ImageAsset::image(QStringLiteral("ic_tips")).icon());
    btnGuide->setFont(systemFont(15));
    styleTextButton(btnGuide, ColorAsset::primary().color());
    connect(btnRetakePhoto, &QPushButton::clicked, this,
            &EKYCPreviewPhotoErrorViewController::onCLickedRetakePhoto);
    connect(btnGuide, &QPushButton::clicked, this, &EKYCPreviewPhotoErrorViewController::onClickedGuide);
    updateTitle();
}

void EKYCPreviewPhotoErrorViewController::bindViewModel() {
    EKYCBaseViewController::bindViewModel();
    const auto& model = viewModel();
    imgUnverified->setPhoto(qImageOf(model.image));
    lbError->setText(QString::fromStdString(model.errorMessage));
    // The red mark says the photograph was turned down; the service's reason
    // is the label beside it, read as it is shown.
    imgErrorBadge->setAccessibleName(accessibleText("a11y.rejected"));
    imgErrorBadge->setAccessibleDescription(lbError->text());
    // Without a reason there is nothing to show under the photograph.
    vError->setHidden(model.errorMessage.empty());
}

void EKYCPreviewPhotoErrorViewController::updateTitle() {
    lbTitle->setText(localizedText(viewModel().titleKey()));
    imgUnverified->setAccessibleName(lbTitle->text());
    imgUnverified->setAccessibleDescription(accessibleText("a11y.rejected"));
}

void EKYCPreviewPhotoErrorViewController::onCLickedRetakePhoto() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

// The same confirmation as the close button's: leaving returns to the first screen.
void EKYCPreviewPhotoErrorViewController::closeAction() {
    confirmClose();
}

void EKYCPreviewPhotoErrorViewController::onClickedGuide() {
    showGuide();
}

// The sheet's own backdrop dims the screen while the guide shows; the
// screen keeps its colours once the guide is gone.
void EKYCPreviewPhotoErrorViewController::showGuide() {
    if (viewModel().showsFaceGuide())
        showFaceGuide();
    else
        showDocumentGuide();
}

void EKYCPreviewPhotoErrorViewController::showDocumentGuide() {
    EKYCGuideCaptureDocumentViewController::show(*this);
}

void EKYCPreviewPhotoErrorViewController::showFaceGuide() {
    EKYCGuideFaceViewController::show(*this);
}

}  // namespace ovira

#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"

#include <QPointer>

#include "platform/QImageAdapter.h"
#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "resources/Localized.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "ui/controller/NavigationController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/view/Outlet.h"
#include "ui/view/SurfaceView.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCPreviewPhotoErrorViewController::EKYCPreviewPhotoErrorViewController(QWidget* parent)
    : EKYCBaseViewController(parent) {
    Nib::instantiate(unqualifiedClassName(staticMetaObject), this);
    lbError = outlet<QLabel>(this, "lbError");
    btnRetakePhoto = outlet<QPushButton>(this, "btnRetakePhoto");
    imgUnverified = outlet<ImageView>(this, "imgUnverified");
    lbTitle = outlet<QLabel>(this, "lbTitle");
    btnGuide = outlet<QPushButton>(this, "btnGuide");
}

void EKYCPreviewPhotoErrorViewController::setupUI() {
    QPointer<EKYCPreviewPhotoErrorViewController> screen(this);
    navigationItem()->setLeftBarButtonItem(
        BarButtonItem{ImageAsset::image(QStringLiteral("ic_close")), QString(), true, [screen] {
                          if (screen) screen->didTapClose();
                      }});
    setBackgroundColor(this, Qt::white);
    lbTitle->setFont(boldSystemFont(24));
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    lbError->setFont(systemFont(15));
    setTextColor(lbError, ColorAsset::red().color());
    static_cast<SurfaceView*>(outlet<QWidget>(this, "vError"))->setBackgroundColor(colorFromHex(u"FDEDED"));
    outlet<ImageView>(this, "imgErrorBadge")->setImage(ImageAsset::image(QStringLiteral("ic_ unverified")));
    imgUnverified->setContentMode(ImageView::ContentMode::scaleAspectFit);
    imgUnverified->setCornerRadius(EKYCTheme::radius(12));
    btnRetakePhoto->setText(localizedText("capture.retake"));
    btnRetakePhoto->setFont(systemFont(16));
    styleFilledButton(btnRetakePhoto, ColorAsset::primary().color(), Qt::white, EKYCTheme::pixelRadius(8),
                      ColorAsset::disable().color(), ColorAsset::secondText().color());
    btnGuide->setText(localizedText("guide.how_to"));
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
    // Without a reason there is nothing to show under the photograph.
    outlet<QWidget>(this, "vError")->setHidden(model.errorMessage.empty());
}

void EKYCPreviewPhotoErrorViewController::updateTitle() {
    lbTitle->setText(localizedText(viewModel().titleKey()));
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

#include "screens/guide/EKYCGuideFaceViewController.h"

#include <QLayout>
#include <algorithm>
#include <cmath>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
#include "screens/guide/EKYCGuideFaceCollectionViewCell.h"
#include "sdk/EKYCFlowReport.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCGuideFaceViewController::EKYCGuideFaceViewController(QWidget* parent)
    : EKYCPanelSheetViewController(parent) {
    setupUi(this);
}

EKYCGuideFaceViewController* EKYCGuideFaceViewController::show(ViewController& presenter) {
    auto* guide = new EKYCGuideFaceViewController;
    guide->setViewModel(makeViewModel<EKYCGuideFaceViewModel>());
    guide->setPreferredSheetSizing(EKYCBottomSheet::PreferredSizing::fill);
    guide->setTapToDismissEnabled(true);
    guide->setPanToDismissEnabled(false);
    presenter.present(guide, true);
    return guide;
}

double EKYCGuideFaceViewController::itemWidth(double collectionWidth) {
    return (collectionWidth - sectionInsets.left() - sectionInsets.right() - 2.0 * itemSpacing) / 3 - 0.1;
}

void EKYCGuideFaceViewController::viewDidAppear(bool animated) {
    EKYCPanelSheetViewController<EKYCGuideFaceViewModel>::viewDidAppear(animated);
    EKYCFlowReport::shared().reached(OVIRAFlowStep::faceGuide);
}

void EKYCGuideFaceViewController::viewDidLoad() {
    EKYCPanelSheetViewController::viewDidLoad();
    collectionView->setItemSize([this](const QSize& visible) {
        return QSize(static_cast<int>(std::floor(itemWidth(visible.width()))), fittedItemHeight_);
    });
    for (const auto& item : viewModel().items)
        collectionView->addItem<EKYCGuideFaceCollectionViewCell>()->configure(item);
    fitItems();
}

void EKYCGuideFaceViewController::fitItems() {
    // The collection spans the sheet's content, whatever it shows yet.
    const int width = static_cast<int>(std::floor(itemWidth(contentsRect().width())));
    int height = itemHeight;
    for (QWidget* item : collectionView->items())
        if (item->layout() && item->layout()->hasHeightForWidth())
            height = std::max(height, item->layout()->totalHeightForWidth(width));
    fittedItemHeight_ = height;
    collectionView->setFixedHeight(sectionInsets.top() + height + sectionInsets.bottom());
}

void EKYCGuideFaceViewController::resizeEvent(QResizeEvent* event) {
    EKYCPanelSheetViewController::resizeEvent(event);
    if (hasViewModel() && isViewLoaded()) fitItems();
}

void EKYCGuideFaceViewController::setupUI() {
    EKYCPanelSheetViewController::setupUI();
    setMaximumContentWidth(readableContentWidth);
    lbTitle->setText(localizedText("guide.face_title"));
    lbTitle->setFont(systemFont(16));
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    setWrappingText(btnOk, localizedText("guide.understood"));
    btnOk->setFont(systemFont(14));
    styleFilledButton(btnOk, ColorAsset::primary().color(), Qt::white, EKYCTheme::pixelRadius(8),
                      ColorAsset::disable().color(), ColorAsset::secondText().color());
    connect(btnOk, &QPushButton::clicked, this, &EKYCGuideFaceViewController::clickedOk);
    styleSheetPanel(sheetView, vGrabber);
    collectionView->setInsets(sectionInsets);
    collectionView->setSpacing(itemSpacing);
    collectionView->setFixedHeight(sectionInsets.top() + fittedItemHeight_ + sectionInsets.bottom());
    collectionView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundColor(collectionView->viewport(), Qt::white);
    setBackgroundColor(collectionView->widget(), Qt::white);
}

void EKYCGuideFaceViewController::clickedOk() {
    dismiss(true);
}

}  // namespace ovira

#include "screens/guide/EKYCGuideFaceViewController.h"

#include <cmath>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/guide/EKYCGuideFaceCollectionViewCell.h"
#include "sdk/EKYCFlowReport.h"
#include "ui/lists/NibCellRegistration.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCGuideFaceViewController::EKYCGuideFaceViewController(QWidget* parent)
    : EKYCPanelSheetViewController(parent) {
    Nib::instantiate(unqualifiedClassName(staticMetaObject), this);
    sheetView = outlet<QWidget>(this, "sheetView");
    collectionView = outlet<EKYCBaseCollectionView>(this, "collectionView");
    lbTitle = outlet<QLabel>(this, "lbTitle");
    btnOk = outlet<QPushButton>(this, "btnOk");
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
    collectionView->setDelegate(this);
    collectionView->setDataSource(this);
    registerNibCell<EKYCGuideFaceCollectionViewCell>(*collectionView);
    collectionView->reloadData();
}

void EKYCGuideFaceViewController::setupUI() {
    EKYCPanelSheetViewController::setupUI();
    lbTitle->setText(localizedText("guide.face_title"));
    lbTitle->setFont(systemFont(16));
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    btnOk->setText(localizedText("guide.understood"));
    btnOk->setFont(systemFont(14));
    styleFilledButton(btnOk, ColorAsset::primary().color(), Qt::white, EKYCTheme::pixelRadius(8),
                      ColorAsset::disable().color(), ColorAsset::secondText().color());
    connect(btnOk, &QPushButton::clicked, this, &EKYCGuideFaceViewController::clickedOk);
    styleSheetPanel(sheetView, outlet<QWidget>(this, "vGrabber"));
    collectionView->sectionInset = sectionInsets;
    collectionView->minimumInteritemSpacing = itemSpacing;
    collectionView->minimumLineSpacing = itemSpacing;
    collectionView->setFixedHeight(sectionInsets.top() + itemHeight + sectionInsets.bottom());
    collectionView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundColor(collectionView->viewport(), Qt::white);
    setBackgroundColor(collectionView->widget(), Qt::white);
}

void EKYCGuideFaceViewController::clickedOk() {
    dismiss(true);
}

int EKYCGuideFaceViewController::numberOfItems(CollectionView&, int) {
    return static_cast<int>(viewModel().items.size());
}

CollectionViewCell* EKYCGuideFaceViewController::cellForItem(CollectionView&, const IndexPath& indexPath) {
    auto* cell = collectionView->dequeueReusableCell<EKYCGuideFaceCollectionViewCell>(indexPath);
    const auto& items = viewModel().items;
    if (indexPath.item() >= 0 && indexPath.item() < static_cast<int>(items.size()))
        cell->configure(items[static_cast<std::size_t>(indexPath.item())]);
    else
        cell->configure(std::any());
    return cell;
}

QSize EKYCGuideFaceViewController::sizeForItem(CollectionView& collection, const IndexPath&) {
    return QSize(static_cast<int>(std::floor(itemWidth(collection.viewport()->width()))), itemHeight);
}

}  // namespace ovira

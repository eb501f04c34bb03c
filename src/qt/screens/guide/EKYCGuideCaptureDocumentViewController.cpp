#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"

#include <QLayout>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/guide/EKYCGuideTableViewCell.h"
#include "sdk/EKYCFlowReport.h"
#include "ui/lists/NibCellRegistration.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCGuideCaptureDocumentViewController::EKYCGuideCaptureDocumentViewController(QWidget* parent)
    : EKYCPanelSheetViewController(parent) {
    Nib::instantiate(unqualifiedClassName(staticMetaObject), this);
    tableView = outlet<EKYCBaseTableView>(this, "tableView");
    lbTitle = outlet<QLabel>(this, "lbTitle");
    btnOke = outlet<QPushButton>(this, "btnOke");
    sheetView = outlet<QWidget>(this, "sheetView");
}

EKYCGuideCaptureDocumentViewController* EKYCGuideCaptureDocumentViewController::show(
    ViewController& presenter) {
    auto* guide = new EKYCGuideCaptureDocumentViewController;
    guide->setViewModel(makeViewModel<EKYCGuideCaptureDocumentViewModel>());
    guide->setPreferredSheetSizing(EKYCBottomSheet::PreferredSizing::fill);
    guide->setTapToDismissEnabled(true);
    guide->setPanToDismissEnabled(false);
    presenter.present(guide, true);
    return guide;
}

void EKYCGuideCaptureDocumentViewController::viewDidAppear(bool animated) {
    EKYCPanelSheetViewController<EKYCGuideCaptureDocumentViewModel>::viewDidAppear(animated);
    EKYCFlowReport::shared().reached(OVIRAFlowStep::documentGuide);
}

void EKYCGuideCaptureDocumentViewController::viewDidLoad() {
    EKYCPanelSheetViewController::viewDidLoad();
    tableView->setDelegate(this);
    tableView->setDataSource(this);
    registerNibCell<EKYCGuideTableViewCell>(*tableView);
    tableView->reloadData();
    fitTable();
}

void EKYCGuideCaptureDocumentViewController::setupUI() {
    EKYCPanelSheetViewController::setupUI();  // the close item, as every screen has
    lbTitle->setText(localizedText("guide.note"));
    lbTitle->setFont(boldSystemFont(14));
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    btnOke->setText(localizedText("guide.understood"));
    btnOke->setFont(systemFont(14));
    styleFilledButton(btnOke, ColorAsset::primary().color(), Qt::white, EKYCTheme::pixelRadius(8),
                      ColorAsset::disable().color(), ColorAsset::secondText().color());
    connect(btnOke, &QPushButton::clicked, this, &EKYCGuideCaptureDocumentViewController::onClickedOke);
    styleSheetPanel(sheetView, outlet<QWidget>(this, "vGrabber"));
    tableView->setSeparatorColor(Qt::transparent);
    tableView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundColor(tableView->viewport(), Qt::white);
    setBackgroundColor(tableView->contentView(), Qt::white);
}

void EKYCGuideCaptureDocumentViewController::onClickedOke() {
    dismiss(true);
}

QString EKYCGuideCaptureDocumentViewController::note(int row) const {
    const auto& items = viewModel().items;
    if (row < 0 || row >= static_cast<int>(items.size())) return {};
    return QString::fromStdString(items[static_cast<std::size_t>(row)]);
}

int EKYCGuideCaptureDocumentViewController::numberOfRows(TableView&, int) {
    return static_cast<int>(viewModel().items.size());
}

TableViewCell* EKYCGuideCaptureDocumentViewController::cellForRow(TableView&, const IndexPath& indexPath) {
    auto* cell = tableView->dequeueReusableCell<EKYCGuideTableViewCell>(indexPath);
    const auto& items = viewModel().items;
    if (indexPath.row >= 0 && indexPath.row < static_cast<int>(items.size()))
        cell->configure(items[static_cast<std::size_t>(indexPath.row)]);
    else
        cell->configure(std::any());
    return cell;
}

double EKYCGuideCaptureDocumentViewController::heightForRow(TableView& table, const IndexPath& indexPath) {
    return EKYCGuideTableViewCell::heightFor(note(indexPath.row), table.viewport()->width());
}

// The notes are few: the list is as tall as they are and never scrolls.
void EKYCGuideCaptureDocumentViewController::fitTable() {
    const int width = this->width() - sheetView->layout()->contentsMargins().left() -
                      sheetView->layout()->contentsMargins().right();
    int height = 0;
    for (int row = 0; row < static_cast<int>(viewModel().items.size()); ++row)
        height += EKYCGuideTableViewCell::heightFor(note(row), width);
    tableView->setFixedHeight(height);
}

void EKYCGuideCaptureDocumentViewController::resizeEvent(QResizeEvent* event) {
    EKYCPanelSheetViewController::resizeEvent(event);
    if (hasViewModel()) fitTable();
}

}  // namespace ovira

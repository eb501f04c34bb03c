#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"

#include <QLayout>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
#include "screens/guide/EKYCGuideTableViewCell.h"
#include "sdk/EKYCFlowReport.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCGuideCaptureDocumentViewController::EKYCGuideCaptureDocumentViewController(QWidget* parent)
    : EKYCPanelSheetViewController(parent) {
    setupUi(this);
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
    for (const auto& item : viewModel().items) tableView->addRow<EKYCGuideTableViewCell>(0)->configure(item);
    fitTable();
}

void EKYCGuideCaptureDocumentViewController::setupUI() {
    EKYCPanelSheetViewController::setupUI();  // the close item, as every screen has
    setMaximumContentWidth(readableContentWidth);
    lbTitle->setText(localizedText("guide.note"));
    lbTitle->setFont(boldSystemFont(14));
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    setWrappingText(btnOke, localizedText("guide.understood"));
    btnOke->setFont(systemFont(14));
    styleFilledButton(btnOke, ColorAsset::primary().color(), Qt::white, EKYCTheme::pixelRadius(8),
                      ColorAsset::disable().color(), ColorAsset::secondText().color());
    connect(btnOke, &QPushButton::clicked, this, &EKYCGuideCaptureDocumentViewController::onClickedOke);
    styleSheetPanel(sheetView, vGrabber);
    tableView->setSeparatorColor(Qt::transparent);
    tableView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundColor(tableView->viewport(), Qt::white);
    setBackgroundColor(tableView->widget(), Qt::white);
}

void EKYCGuideCaptureDocumentViewController::onClickedOke() {
    dismiss(true);
}

QString EKYCGuideCaptureDocumentViewController::note(int row) const {
    const auto& items = viewModel().items;
    if (row < 0 || row >= static_cast<int>(items.size())) return {};
    return QString::fromStdString(items[static_cast<std::size_t>(row)]);
}

// The notes are few: the list is as tall as they are and never scrolls.
void EKYCGuideCaptureDocumentViewController::fitTable() {
    // The sheet's content, within the screen's margins (the readable column
    // on a wide window), less the panel's own margins.
    const int width = contentsRect().width() - sheetView->layout()->contentsMargins().left() -
                      sheetView->layout()->contentsMargins().right();
    int height = 0;
    const auto rows = tableView->rows();
    for (int row = 0; row < rows.size(); ++row) {
        rows[row]->setFixedHeight(EKYCGuideTableViewCell::heightFor(note(row), width));
        height += rows[row]->height();
    }
    tableView->setFixedHeight(height);
}

void EKYCGuideCaptureDocumentViewController::resizeEvent(QResizeEvent* event) {
    EKYCPanelSheetViewController::resizeEvent(event);
    if (hasViewModel()) fitTable();
}

}  // namespace ovira

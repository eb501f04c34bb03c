#include "screens/confirm/EKYCConfirmViewController.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "platform/QImageAdapter.h"
#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/confirm/EKYCVerifyTableViewCell.h"
#include "screens/information/EKYCInfomationDocumentViewController.h"
#include "screens/review/EKYCReviewPhotographViewController.h"
#include "ui/controller/NavigationController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/lists/NibCellRegistration.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {
namespace {

constexpr QMargins kHeaderInsets{16, 16, 0, 8};  // left, top, right, bottom

}  // namespace

EKYCConfirmViewController::EKYCConfirmViewController(QWidget* parent) : EKYCBaseViewController(parent) {
    Nib::instantiate(unqualifiedClassName(staticMetaObject), this);
    tableView = outlet<EKYCBaseTableView>(this, "tableView");
    btnNext = outlet<QPushButton>(this, "btnNext");
}

void EKYCConfirmViewController::viewDidLoad() {
    EKYCBaseViewController::viewDidLoad();  // the view model builds its items here
    tableView->reloadData();
}

void EKYCConfirmViewController::setupUI() {
    EKYCBaseViewController::setupUI();  // the close button
    navigationItem()->setTitle(localizedText("verify.title"));
    setBackgroundColor(this, ColorAsset::whiteA().color());
    setBackgroundColor(tableView->viewport(), ColorAsset::whiteA().color());
    setBackgroundColor(tableView->contentView(), ColorAsset::whiteA().color());
    tableView->setSeparatorColor(Qt::transparent);
    btnNext->setText(localizedText("common.next"));
    btnNext->setFont(systemFont(16));
    styleFilledButton(btnNext, ColorAsset::primary().color(), ColorAsset::whiteA().color(),
                      EKYCTheme::pixelRadius(8), ColorAsset::disable().color(),
                      ColorAsset::secondText().color());
    connect(btnNext, &QPushButton::clicked, this, &EKYCConfirmViewController::verifyAction);
    tableView->setDelegate(this);
    tableView->setDataSource(this);
    registerNibCell<EKYCVerifyTableViewCell>(*tableView);
}

QString EKYCConfirmViewController::headerTitle(int section) const {
    switch (section) {
        case 0:
            return localizedText(viewModel().documentHeaderKey());
        case 1:
            return localizedText("verify.face");
        default:
            return {};
    }
}

int EKYCConfirmViewController::numberOfSections(TableView&) {
    return 2;
}

int EKYCConfirmViewController::numberOfRows(TableView&, int section) {
    return section == 0 ? viewModel().documentRowCount() : 1;
}

double EKYCConfirmViewController::heightForRow(TableView& table, const IndexPath&) {
    return table.height() / 4.0;
}

QWidget* EKYCConfirmViewController::viewForHeader(TableView&, int section) {
    auto* header = new QWidget;
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(kHeaderInsets);
    auto* label = new QLabel(headerTitle(section), header);
    label->setObjectName(QStringLiteral("lbHeader"));
    label->setFont(boldSystemFont(14));
    setTextColor(label, ColorAsset::blackAAA().color());
    layout->addWidget(label);
    return header;
}

double EKYCConfirmViewController::heightForHeader(TableView&, int) {
    return kHeaderInsets.top() + 18 + kHeaderInsets.bottom();
}

TableViewCell* EKYCConfirmViewController::cellForRow(TableView&, const IndexPath& indexPath) {
    auto* cell = tableView->dequeueReusableCell<EKYCVerifyTableViewCell>(indexPath);
    const auto& model = viewModel();
    const int index = model.itemIndex(indexPath.section, indexPath.row);
    if (index >= 0)
        cell->configure(qImageOf(model.items[static_cast<std::size_t>(index)].image));
    else
        cell->configure(std::any());
    QPointer<EKYCConfirmViewController> screen(this);
    cell->onTapPhotograph = [screen, indexPath] {
        if (!screen) return;
        const auto& items = screen->viewModel().items;
        const int count = static_cast<int>(items.size());
        screen->showReview(indexPath.section == 0 ? indexPath.row : count - 1, items);
    };
    return cell;
}

void EKYCConfirmViewController::verifyAction() {
    showInformationForm();
}

void EKYCConfirmViewController::showReview(int index, const std::vector<EKYCReviewPhotoViewModel>& items) {
    auto* navigation = navigationController();
    if (!navigation) return;
    auto* review = new EKYCReviewPhotographViewController;
    review->setViewModel(makeViewModel<EKYCReviewPhotographViewModel>(index, items));
    navigation->pushViewController(review, true);
}

void EKYCConfirmViewController::showInformationForm() {
    auto* navigation = navigationController();
    if (!navigation) return;
    auto* form = new EKYCInfomationDocumentViewController;
    form->setViewModel(makeViewModel<EKYCInfomationDocumentViewModel>());
    navigation->pushViewController(form, true);
}

}  // namespace ovira

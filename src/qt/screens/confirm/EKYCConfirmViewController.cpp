#include "screens/confirm/EKYCConfirmViewController.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/QImageAdapter.h"
#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
#include "screens/confirm/EKYCVerifyTableViewCell.h"
#include "screens/information/EKYCInfomationDocumentViewController.h"
#include "screens/review/EKYCReviewPhotographViewController.h"
#include "ui/controller/NavigationController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/view/ViewStyle.h"

namespace ovira {
namespace {

constexpr QMargins kHeaderInsets{16, 16, 0, 8};  // left, top, right, bottom

// A photograph's row: a quarter of the list's height, or what its mark and
// text need when that is more.
void sizeRow(EKYCVerifyTableViewCell* row, int listHeight) {
    row->setFixedHeight(std::max(listHeight / 4, row->minimumRowHeight()));
}

QWidget* makeHeader(const QString& title) {
    auto* header = new QWidget;
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(kHeaderInsets);
    auto* label = new QLabel(title, header);
    label->setObjectName(QStringLiteral("lbHeader"));
    label->setFont(boldSystemFont(14));
    label->setWordWrap(true);
    setTextColor(label, ColorAsset::blackAAA().color());
    layout->addWidget(label);
    return header;
}

}  // namespace

EKYCConfirmViewController::EKYCConfirmViewController(QWidget* parent) : EKYCBaseViewController(parent) {
    setupUi(this);
}

void EKYCConfirmViewController::viewDidLoad() {
    EKYCBaseViewController::viewDidLoad();  // the view model builds its items here
    const auto& model = viewModel();
    QPointer<EKYCConfirmViewController> screen(this);
    for (int section = 0; section < 2; ++section) {
        // The design's 42 points at the least; the title may wrap and grow.
        auto* header = makeHeader(headerTitle(section));
        tableView->addHeader(header, kHeaderInsets.top() + 18 + kHeaderInsets.bottom());
        letHeightGrow(header);
        const int rows = section == 0 ? model.documentRowCount() : 1;
        for (int row = 0; row < rows; ++row) {
            auto* cell = tableView->addRow<EKYCVerifyTableViewCell>(tableView->height() / 4);
            sizeRow(cell, tableView->height());
            const int index = model.itemIndex(section, row);
            if (index >= 0) {
                const auto& item = model.items[static_cast<std::size_t>(index)];
                cell->configure(qImageOf(item.image));
                cell->setPhotographName(QString::fromStdString(item.title()));
            } else {
                cell->configure(std::any());
            }
            cell->onTapPhotograph = [screen, section, row] {
                if (!screen) return;
                const auto& items = screen->viewModel().items;
                screen->showReview(section == 0 ? row : static_cast<int>(items.size()) - 1, items);
            };
        }
    }
    connect(tableView, &EKYCBaseTableView::heightChanged, this, [this](int height) {
        for (QWidget* row : tableView->rows())
            if (auto* cell = qobject_cast<EKYCVerifyTableViewCell*>(row)) sizeRow(cell, height);
    });
}

void EKYCConfirmViewController::setupUI() {
    EKYCBaseViewController::setupUI();  // the close button
    navigationItem()->setTitle(localizedText("verify.title"));
    setBackgroundColor(this, ColorAsset::whiteA().color());
    setMaximumContentWidth(readableContentWidth);
    setBackgroundColor(tableView->viewport(), ColorAsset::whiteA().color());
    setBackgroundColor(tableView->widget(), ColorAsset::whiteA().color());
    tableView->setSeparatorColor(Qt::transparent);
    setWrappingText(btnNext, localizedText("common.next"));
    btnNext->setFont(systemFont(16));
    styleFilledButton(btnNext, ColorAsset::primary().color(), ColorAsset::whiteA().color(),
                      EKYCTheme::pixelRadius(8), ColorAsset::disable().color(),
                      ColorAsset::secondText().color());
    connect(btnNext, &QPushButton::clicked, this, &EKYCConfirmViewController::verifyAction);
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

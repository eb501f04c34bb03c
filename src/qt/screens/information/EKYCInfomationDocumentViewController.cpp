#include "screens/information/EKYCInfomationDocumentViewController.h"

#include <QApplication>
#include <QPointer>
#include <chrono>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/datepicker/EKYCDatePickerViewController.h"
#include "screens/information/EKYCInfomationDocumentTableViewCell.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCUserDefault.h"
#include "ui/alert/AlertBuilder.h"
#include "ui/alert/AlertController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/gesture/TapGestureRecognizer.h"
#include "ui/lists/NibCellRegistration.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewProperties.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

using FieldType = EKYCInfomationDocument::FieldType;

EKYCInfomationDocumentViewController::EKYCInfomationDocumentViewController(QWidget* parent)
    : EKYCBaseViewController(parent) {
    Nib::instantiate(unqualifiedClassName(staticMetaObject), this);
    tableView = outlet<EKYCBaseTableView>(this, "tableView");
    lbDocumentName = outlet<QLabel>(this, "lbDocumentName");
    btnCompletionEkyc = outlet<QPushButton>(this, "btnCompletionEkyc");
}

void EKYCInfomationDocumentViewController::viewDidLoad() {
    EKYCBaseViewController::viewDidLoad();
    tableView->setDelegate(this);
    tableView->setDataSource(this);
    registerNibCell<EKYCInfomationDocumentTableViewCell>(*tableView);
    tableView->reloadData();
}

void EKYCInfomationDocumentViewController::setupUI() {
    EKYCBaseViewController::setupUI();  // the close button
    navigationItem()->setTitle(localizedText("info.infomation"));
    setBackgroundColor(this, ColorAsset::whiteA().color());
    lbDocumentName->setText(QString());
    lbDocumentName->setFont(boldSystemFont(14));
    setTextColor(lbDocumentName, ColorAsset::blackAAA().color());
    tableView->hide();
    setBackgroundColor(tableView->viewport(), Qt::white);
    setBackgroundColor(tableView->contentView(), Qt::white);
    tableView->setSeparatorColor(Qt::transparent);  // each row draws its own, inset 32 points
    tableView->setSectionHeaderTopPadding(0);
    btnCompletionEkyc->setText(localizedText("common.completion"));
    btnCompletionEkyc->setFont(systemFont(16));
    styleFilledButton(btnCompletionEkyc, ColorAsset::primary().color(), ColorAsset::whiteA().color(),
                      EKYCTheme::pixelRadius(8), ColorAsset::disable().color(),
                      ColorAsset::secondText().color());
    connect(btnCompletionEkyc, &QPushButton::clicked, this,
            &EKYCInfomationDocumentViewController::subInfoAction);
    outsideTap_ = new TapGestureRecognizer(
        [this](TapGestureRecognizer& tap) {
            // A tap on the text box being edited keeps it open.
            auto* focus = QApplication::focusWidget();
            if (focus && focus->rect().contains(tap.locationIn(focus).toPoint())) return;
            tapOutSideAction();
        },
        this);
    outsideTap_->addToView(this);
}

void EKYCInfomationDocumentViewController::bindViewModel() {
    EKYCBaseViewController::bindViewModel();
    auto& model = viewModel();
    QPointer<EKYCInfomationDocumentViewController> screen(this);
    model.updateDisplay
        .sink([screen](const std::string& name) {
            if (!screen) return;
            screen->lbDocumentName->setText(localizedText("info.document") + QString::fromStdString(name));
            screen->tableView->show();
            screen->tableView->reloadData();
        })
        .store(subscriptions);
    model.nextPublisher
        .sink([screen](Void) {
            if (!screen) return;
            // The host is told right after this event, with the stored session;
            // the flow starts closing on the next turn and the session ends
            // once it has gone.
            QMetaObject::invokeMethod(
                screen,
                [screen] {
                    if (screen) screen->dismiss(true, [] { EKYCUserDefault::clear(); });
                },
                Qt::QueuedConnection);
        })
        .store(subscriptions);
    model.enableSubmitPublisher
        .sink([screen](bool enabled) {
            if (!screen) return;
            screen->setSubmitEnabled(enabled);
            if (!enabled) screen->showEmptyValueAlert();
        })
        .store(subscriptions);
}

void EKYCInfomationDocumentViewController::configure() {
    setLoading(true);
    EKYCBaseViewController::configure();
}

void EKYCInfomationDocumentViewController::tapOutSideAction() {
    auto* focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus)) focus->clearFocus();
}

void EKYCInfomationDocumentViewController::subInfoAction() {
    if (auto* focus = QApplication::focusWidget(); focus && isAncestorOf(focus)) focus->clearFocus();
    setLoading(true);
    viewModel().submit();
}

void EKYCInfomationDocumentViewController::setSubmitEnabled(bool enabled) {
    btnCompletionEkyc->setEnabled(enabled);
    QColor border = ColorAsset::secondText().color();
    border.setAlphaF(0.2f);
    setFCornerRadius(btnCompletionEkyc, EKYCTheme::radius(8));
    setFBorderWidth(btnCompletionEkyc, 2);
    setFBorderColor(btnCompletionEkyc, enabled ? QColor(Qt::transparent) : border);
}

void EKYCInfomationDocumentViewController::showEmptyValueAlert() {
    auto* alert = AlertBuilder()
                      .image(ImageAsset::image(QStringLiteral("ic_disconnect")))
                      .title(localizedText("common.noti"))
                      .message(localizedText("info.empty"))
                      .action({QStringLiteral("OK"), AlertAction::Style::cancel},
                              [](AlertController* shown) { shown->dismiss(true); })
                      .build();
    present(alert, true);
}

void EKYCInfomationDocumentViewController::handleFieldTap(const EKYCInfomationDocument& item, int row,
                                                          EKYCInfomationDocumentTableViewCell* cell) {
    switch (item.fieldType) {
        case FieldType::string:
        case FieldType::number:
            if (cell) cell->beginEditing();
            break;
        case FieldType::date:
            showDatePicker(item, row);
            break;
        case FieldType::country:
            showSelectionList(makeViewModel<SelectionCountryViewModel>(item.fieldValue), row);
            break;
        case FieldType::gender:
            showSelectionList(makeViewModel<SelectionGenderViewModel>(item.fieldValue), row);
            break;
        case FieldType::national:
            showSelectionList(makeViewModel<SelectionNationalViewModel>(item.fieldValue), row);
            break;
    }
}

void EKYCInfomationDocumentViewController::showDatePicker(const EKYCInfomationDocument& item, int row) {
    auto* picker = new EKYCDatePickerViewController;
    picker->setViewModel(makeViewModel<EKYCDatePickerViewModel>(item, std::chrono::system_clock::now()));
    QPointer<EKYCInfomationDocumentViewController> screen(this);
    picker->didSaveDate = [screen, row](const std::string& text) {
        if (!screen) return;
        screen->viewModel().updateValue(row, text);
        screen->reloadRow(row);
    };
    picker->setPreferredSheetSizing(EKYCBottomSheet::PreferredSizing::fill);
    picker->setTapToDismissEnabled(true);
    picker->setPanToDismissEnabled(false);
    present(picker, true);
}

void EKYCInfomationDocumentViewController::showSelectionList(
    std::shared_ptr<EKYCSelectionViewModel> selectionModel, int row) {
    auto* list = new EKYCSelectionViewController;
    list->setViewModel(std::move(selectionModel));
    QPointer<EKYCInfomationDocumentViewController> screen(this);
    list->onClickedItem = [screen, row](const EKYCSelectionItem& item) {
        if (!screen) return;
        screen->viewModel().updateValue(row, item.value);
        screen->reloadRow(row);
    };
    list->setPreferredSheetSizing(EKYCBottomSheet::PreferredSizing::fill);
    list->setTapToDismissEnabled(true);
    list->setPanToDismissEnabled(false);
    present(list, true);
}

void EKYCInfomationDocumentViewController::reloadRow(int row) {
    const auto& items = viewModel().items;
    if (row < 0 || row >= static_cast<int>(items.size())) return;
    if (auto* cell = qobject_cast<EKYCInfomationDocumentTableViewCell*>(tableView->cellForRow({0, row})))
        cell->configure(items[static_cast<std::size_t>(row)]);
}

int EKYCInfomationDocumentViewController::numberOfRows(TableView&, int) {
    return static_cast<int>(viewModel().items.size());
}

double EKYCInfomationDocumentViewController::heightForRow(TableView&, const IndexPath&) {
    return rowHeight;
}

QWidget* EKYCInfomationDocumentViewController::viewForHeader(TableView&, int) {
    auto* header = new QWidget;
    setBackgroundColor(header, Qt::white);
    return header;
}

double EKYCInfomationDocumentViewController::heightForHeader(TableView&, int) {
    return sectionSpacing;
}

TableViewCell* EKYCInfomationDocumentViewController::cellForRow(TableView&, const IndexPath& indexPath) {
    auto* cell = tableView->dequeueReusableCell<EKYCInfomationDocumentTableViewCell>(indexPath);
    const auto& items = viewModel().items;
    const int row = indexPath.row;
    if (row >= 0 && row < static_cast<int>(items.size()))
        cell->configure(items[static_cast<std::size_t>(row)]);
    QPointer<EKYCInfomationDocumentViewController> screen(this);
    cell->onClickedButton = [screen, row](EKYCInfomationDocumentTableViewCell* tapped) {
        if (!screen) return;
        const auto& fields = screen->viewModel().items;
        if (row < 0 || row >= static_cast<int>(fields.size())) return;
        screen->handleFieldTap(fields[static_cast<std::size_t>(row)], row, tapped);
    };
    cell->onChangeFieldValue = [screen, row](const std::string& text) {
        if (screen) screen->viewModel().updateValue(row, text);
    };
    return cell;
}

}  // namespace ovira

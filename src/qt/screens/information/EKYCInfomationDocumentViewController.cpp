#include "screens/information/EKYCInfomationDocumentViewController.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <chrono>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
#include "screens/datepicker/EKYCDatePickerViewController.h"
#include "screens/information/EKYCInfomationDocumentTableViewCell.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCUserDefault.h"
#include "ui/alert/AlertBuilder.h"
#include "ui/alert/AlertController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

using FieldType = EKYCInfomationDocument::FieldType;

EKYCInfomationDocumentViewController::EKYCInfomationDocumentViewController(QWidget* parent)
    : EKYCBaseViewController(parent) {
    setupUi(this);
}

void EKYCInfomationDocumentViewController::setupUI() {
    EKYCBaseViewController::setupUI();  // the close button
    navigationItem()->setTitle(localizedText("info.infomation"));
    setBackgroundColor(this, ColorAsset::whiteA().color());
    setMaximumContentWidth(readableContentWidth);
    lbDocumentName->setText(QString());
    lbDocumentName->setFont(boldSystemFont(14));
    setTextColor(lbDocumentName, ColorAsset::blackAAA().color());
    tableView->hide();
    setBackgroundColor(tableView->viewport(), Qt::white);
    setBackgroundColor(tableView->widget(), Qt::white);
    tableView->setSeparatorColor(Qt::transparent);  // each row draws its own, inset 32 points
    setWrappingText(btnCompletionEkyc, localizedText("common.completion"));
    btnCompletionEkyc->setFont(systemFont(16));
    styleFilledButton(btnCompletionEkyc, ColorAsset::primary().color(), ColorAsset::whiteA().color(),
                      EKYCTheme::pixelRadius(8), ColorAsset::disable().color(),
                      ColorAsset::secondText().color());
    // While completion is disabled a 2-point border shows: a fifth of the
    // secondary text's grey over the face, mixed here, opaque, so that the
    // border's edges and corners (drawn apart) do not darken where they meet.
    const QColor face = ColorAsset::disable().color(), text = ColorAsset::secondText().color();
    const QColor border((face.red() * 4 + text.red()) / 5, (face.green() * 4 + text.green()) / 5,
                        (face.blue() * 4 + text.blue()) / 5);
    btnCompletionEkyc->setStyleSheet(btnCompletionEkyc->styleSheet() +
                                     QStringLiteral("QPushButton { border: 2px solid transparent; }"
                                                    "QPushButton:disabled { border-color: %1; }")
                                         .arg(border.name()));
    connect(btnCompletionEkyc, &QPushButton::clicked, this,
            &EKYCInfomationDocumentViewController::subInfoAction);
}

void EKYCInfomationDocumentViewController::mousePressEvent(QMouseEvent* event) {
    // A press that no control took: outside the text box being edited.
    tapOutSideAction();
    EKYCBaseViewController::mousePressEvent(event);
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
            screen->reloadFields();
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

void EKYCInfomationDocumentViewController::reloadFields() {
    tableView->clear();
    auto* header = new QWidget;
    setBackgroundColor(header, Qt::white);
    tableView->addHeader(header, static_cast<int>(sectionSpacing));
    const auto& items = viewModel().items;
    QPointer<EKYCInfomationDocumentViewController> screen(this);
    for (int row = 0; row < static_cast<int>(items.size()); ++row) {
        auto* cell = tableView->addRow<EKYCInfomationDocumentTableViewCell>(static_cast<int>(rowHeight));
        letHeightGrow(cell);  // the field's name and value as tall as their text
        cell->configure(items[static_cast<std::size_t>(row)]);
        cell->onClickedButton = [screen, row](EKYCInfomationDocumentTableViewCell* tapped) {
            if (!screen) return;
            const auto& fields = screen->viewModel().items;
            if (row < static_cast<int>(fields.size()))
                screen->handleFieldTap(fields[static_cast<std::size_t>(row)], row, tapped);
        };
        cell->onChangeFieldValue = [screen, row](const std::string& text) {
            if (screen) screen->viewModel().updateValue(row, text);
        };
    }
}

void EKYCInfomationDocumentViewController::reloadRow(int row) {
    const auto& items = viewModel().items;
    const auto rows = tableView->rows();
    if (row < 0 || row >= static_cast<int>(items.size()) || row >= rows.size()) return;
    if (auto* cell = qobject_cast<EKYCInfomationDocumentTableViewCell*>(rows[row]))
        cell->configure(items[static_cast<std::size_t>(row)]);
}

}  // namespace ovira

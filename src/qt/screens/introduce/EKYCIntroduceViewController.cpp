#include "screens/introduce/EKYCIntroduceViewController.h"

#include <QPointer>

#include "ovira/EKYCLogger.h"
#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "ui/controller/NavigationItem.h"
#include "ui/lists/NibCellRegistration.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {
namespace {

EKYCIntroduceViewController::CaptureOpener& installedOpener() {
    static EKYCIntroduceViewController::CaptureOpener opener;
    return opener;
}

}  // namespace

void EKYCIntroduceViewController::setCaptureOpener(CaptureOpener opener) {
    installedOpener() = std::move(opener);
}

EKYCIntroduceViewController::EKYCIntroduceViewController(QWidget* parent) : EKYCBaseViewController(parent) {
    Nib::instantiate(unqualifiedClassName(staticMetaObject), this);
    tableView = outlet<EKYCBaseTableView>(this, "tableView");
    lbStep = outlet<QLabel>(this, "lbStep");
    lbSelectDocument = outlet<QLabel>(this, "lbSelectDocument");
    lbCaptureDocument = outlet<QLabel>(this, "lbCaptureDocument");
    lbCaptrueFace = outlet<QLabel>(this, "lbCaptrueFace");
    lbCheckInfomation = outlet<QLabel>(this, "lbCheckInfomation");
    lbSubTitleSelect = outlet<QLabel>(this, "lbSubTitleSelect");
}

void EKYCIntroduceViewController::setupUI() {
    EKYCBaseViewController::setupUI();  // the close button
    navigationItem()->setTitle(localizedText("intro.select"));
    const QColor text = ColorAsset::blackAAA().color();
    setBackgroundColor(this, ColorAsset::whiteA().color());
    lbStep->setText(localizedText("intro.step"));
    lbStep->setFont(boldSystemFont(14));
    setTextColor(lbStep, text);
    const std::pair<QLabel*, const char*> steps[] = {{lbSelectDocument, "intro.select"},
                                                     {lbCaptureDocument, "intro.capture_document"},
                                                     {lbCaptrueFace, "intro.capture_face"},
                                                     {lbCheckInfomation, "intro.check_ìnomation"}};
    int number = 1;
    for (const auto& [label, key] : steps) {
        label->setText(localizedText(key));
        label->setFont(systemFont(12));
        setTextColor(label, ColorAsset::secondText().color());
        auto* badge =
            outlet<QLabel>(this, QStringLiteral("lbStepNumber%1").arg(number).toLatin1().constData());
        badge->setText(QString::number(number++));
        badge->setFont(boldSystemFont(11));
        badge->setAlignment(Qt::AlignCenter);
        badge->setStyleSheet(QStringLiteral("background: %1; color: #FFFFFF; border-radius: 11px;")
                                 .arg(ColorAsset::primary().color().name()));
    }
    lbSubTitleSelect->setText(localizedText("intro.select"));
    lbSubTitleSelect->setFont(boldSystemFont(14));
    setTextColor(lbSubTitleSelect, text);
    setBackgroundColor(tableView->viewport(), ColorAsset::whiteA().color());
    setBackgroundColor(tableView->contentView(), ColorAsset::whiteA().color());
    tableView->setSeparatorColor(Qt::transparent);
}

void EKYCIntroduceViewController::configure() {
    tableView->setDataSource(this);
    tableView->setDelegate(this);
    registerNibCell<EKYCIntroduceTableViewCell>(*tableView);
    tableView->reloadData();
}

int EKYCIntroduceViewController::numberOfRows(TableView&, int) {
    return static_cast<int>(viewModel().items.size());
}

double EKYCIntroduceViewController::heightForRow(TableView&, const IndexPath&) {
    return rowHeight;
}

TableViewCell* EKYCIntroduceViewController::cellForRow(TableView&, const IndexPath& indexPath) {
    auto* cell = tableView->dequeueReusableCell<EKYCIntroduceTableViewCell>(indexPath);
    const auto& items = viewModel().items;
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(items.size())) return cell;
    const EkycTypeDocument kind = items[static_cast<std::size_t>(indexPath.row)];
    cell->configure(kind);
    QPointer<EKYCIntroduceViewController> screen(this);
    cell->onCLickedDocument = [screen, kind] {
        if (screen) screen->openDocumentCapture(kind);
    };
    return cell;
}

void EKYCIntroduceViewController::openDocumentCapture(EkycTypeDocument kind) {
    const auto& opener = installedOpener();
    if (!opener) {
        static const EKYCLogger logger("EKYCIntroduceViewController", EKYCLogger::Subsystem::general);
        logger.logMessage("no capture screen is installed; staying on the first screen");
        return;
    }
    opener(*this, kind);
}

void EKYCIntroduceViewController::backToRoot() {
    dismiss(true);
}

}  // namespace ovira

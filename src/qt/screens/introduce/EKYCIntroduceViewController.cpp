#include "screens/introduce/EKYCIntroduceViewController.h"

#include <QPointer>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "ovira/EKYCLogger.h"
#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "ui/controller/NavigationItem.h"
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
    setupUi(this);
}

void EKYCIntroduceViewController::setupUI() {
    EKYCBaseViewController::setupUI();  // the close button
    navigationItem()->setTitle(localizedText("intro.select"));
    const QColor text = ColorAsset::blackAAA().color();
    setBackgroundColor(this, ColorAsset::whiteA().color());
    setMaximumContentWidth(readableContentWidth);
    vSteps->setStyleSheet(
        QStringLiteral("#vSteps { background: white; border-radius: %1px; }").arg(EKYCTheme::pixelRadius(12)));
    lbStep->setText(localizedText("intro.step"));
    lbStep->setFont(boldSystemFont(14));
    lbStep->setWordWrap(true);
    setTextColor(lbStep, text);
    const std::tuple<QLabel*, QLabel*, const char*> steps[] = {
        {lbSelectDocument, lbStepNumber1, "intro.select"},
        {lbCaptureDocument, lbStepNumber2, "intro.capture_document"},
        {lbCaptrueFace, lbStepNumber3, "intro.capture_face"},
        {lbCheckInfomation, lbStepNumber4, "intro.check_ìnomation"}};
    // The badges are circles around their digit: as large as the text needs.
    const int badgeSize = std::max(22, static_cast<int>(std::lround(scaledTextSize(22))));
    int number = 1;
    for (const auto& [label, badge, key] : steps) {
        label->setText(localizedText(key));
        label->setFont(systemFont(12));
        setTextColor(label, ColorAsset::secondText().color());
        badge->setText(QString::number(number));
        // The badge's digit alone says nothing to a screen reader.
        badge->setAccessibleName(accessibleText("a11y.step_number", {QString::number(number)}));
        ++number;
        badge->setFont(boldSystemFont(11));
        badge->setAlignment(Qt::AlignCenter);
        badge->setFixedSize(badgeSize, badgeSize);
        badge->setStyleSheet(QStringLiteral("background: %1; color: #FFFFFF; border-radius: %2px;")
                                 .arg(ColorAsset::primary().color().name())
                                 .arg(badgeSize / 2));
    }
    lbSubTitleSelect->setText(localizedText("intro.select"));
    lbSubTitleSelect->setFont(boldSystemFont(14));
    lbSubTitleSelect->setWordWrap(true);
    setTextColor(lbSubTitleSelect, text);
    setBackgroundColor(tableView->viewport(), ColorAsset::whiteA().color());
    setBackgroundColor(tableView->widget(), ColorAsset::whiteA().color());
    tableView->setSeparatorColor(Qt::transparent);
}

void EKYCIntroduceViewController::configure() {
    tableView->clear();
    QPointer<EKYCIntroduceViewController> screen(this);
    for (const EkycTypeDocument kind : viewModel().items) {
        auto* cell = tableView->addRow<EKYCIntroduceTableViewCell>(static_cast<int>(rowHeight));
        letHeightGrow(cell);
        cell->configure(kind);
        cell->onCLickedDocument = [screen, kind] {
            if (screen) screen->openDocumentCapture(kind);
        };
    }
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

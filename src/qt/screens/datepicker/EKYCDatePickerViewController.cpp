#include "screens/datepicker/EKYCDatePickerViewController.h"

#include <QLocale>
#include <QTextCharFormat>

#include "resources/ColorAsset.h"
#include "resources/EKYCHostStrings.h"
#include "resources/EKYCImage.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {
namespace {

QDate toQDate(const std::chrono::year_month_day& day) {
    return QDate(static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
                 static_cast<int>(static_cast<unsigned>(day.day())));
}

std::chrono::year_month_day fromQDate(const QDate& date) {
    return std::chrono::year(date.year()) / std::chrono::month(static_cast<unsigned>(date.month())) /
           std::chrono::day(static_cast<unsigned>(date.day()));
}

}  // namespace

EKYCDatePickerViewController::EKYCDatePickerViewController(QWidget* parent)
    : EKYCPanelSheetViewController(parent) {
    Nib::instantiate(unqualifiedClassName(staticMetaObject), this);
    datePicker = outlet<QCalendarWidget>(this, "datePicker");
    btnSave = outlet<QPushButton>(this, "btnSave");
    lbTitle = outlet<QLabel>(this, "lbTitle");
    vBottomSheet = outlet<QWidget>(this, "vBottomSheet");
    btnClose = outlet<QToolButton>(this, "btnClose");
}

// This sheet has no close item: it closes by its own button or a tap outside.
void EKYCDatePickerViewController::setupUI() {
    lbTitle->setText(localizedText("info.choose_time"));
    lbTitle->setFont(systemFont(18));
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    btnSave->setText(localizedText("common.save"));
    btnSave->setFont(systemFont(16));
    styleFilledButton(btnSave, ColorAsset::primary().color(), Qt::white, EKYCTheme::pixelRadius(8),
                      ColorAsset::disable().color(), ColorAsset::secondText().color());
    connect(btnSave, &QPushButton::clicked, this, &EKYCDatePickerViewController::clickedSave);
    btnClose->setIcon(ImageAsset::image(QStringLiteral("ic_sheet_close")).icon());
    btnClose->setCursor(Qt::PointingHandCursor);
    connect(btnClose, &QToolButton::clicked, this, &EKYCDatePickerViewController::clickedClose);
    styleSheetPanel(vBottomSheet);
    styleCalendar();

    const auto& model = viewModel();
    if (const auto earliest = model.minimumDay()) datePicker->setMinimumDate(toQDate(*earliest));
    if (const auto latest = model.maximumDay()) datePicker->setMaximumDate(toQDate(*latest));
    // The picker opens on the opening day whatever the field holds.
    datePicker->setSelectedDate(toQDate(model.openingDay()));
}

void EKYCDatePickerViewController::styleCalendar() {
    const QColor text = ColorAsset::blackAAA().color();
    const QColor primary = ColorAsset::primary().color();
    const QString locale = QString::fromStdString(EKYCHostStrings::shared().currentFormattingLocale());
    datePicker->setLocale(QLocale(QString(locale).replace(QLatin1Char('-'), QLatin1Char('_'))));
    datePicker->setFirstDayOfWeek(Qt::Monday);
    datePicker->setGridVisible(false);
    datePicker->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    datePicker->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    datePicker->setFont(systemFont(15));
    // The light look whatever the system's style; weekends like other days;
    // today is not set apart from the other days.
    QTextCharFormat days;
    days.setForeground(text);
    for (auto weekday : {Qt::Saturday, Qt::Sunday}) datePicker->setWeekdayTextFormat(weekday, days);
    QTextCharFormat header;
    header.setForeground(text);
    header.setFont(systemFont(12));
    header.setBackground(Qt::white);
    datePicker->setHeaderTextFormat(header);
    QPalette palette = datePicker->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Highlight, primary);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, ColorAsset::disable().color());
    palette.setColor(QPalette::Disabled, QPalette::Base, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Window, Qt::white);
    datePicker->setPalette(palette);
    datePicker->setStyleSheet(
        QStringLiteral(
            "QWidget#qt_calendar_navigationbar { background: #FFFFFF; }"
            "QToolButton { color: %1; background: transparent; border: none; font-size: 16px;"
            " font-weight: bold; padding: 6px 10px; }"
            "QToolButton:pressed { background: %3; border-radius: %4px; }"
            "QToolButton::menu-indicator { image: none; }"
            "QSpinBox { color: %1; background: #F0F2F6; border: none; border-radius: %5px; padding: 2px 6px;"
            " font-size: 16px; }"
            "QAbstractItemView { selection-background-color: %2; selection-color: #FFFFFF;"
            " outline: 0; }")
            .arg(text.name(), primary.name(), EKYCTheme::primaryTint().name())
            .arg(EKYCTheme::pixelRadius(8))
            .arg(EKYCTheme::pixelRadius(6)));
    // Month arrows as text, so that they take the library's colour.
    for (const auto& [name, arrow] :
         {std::pair{"qt_calendar_prevmonth", "‹"}, std::pair{"qt_calendar_nextmonth", "›"}}) {
        if (auto* button = datePicker->findChild<QToolButton*>(QString::fromLatin1(name))) {
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            button->setText(QString::fromUtf8(arrow));
            button->setFont(boldSystemFont(22));
        }
    }
}

EKYCDatePickerViewModel::TimePoint EKYCDatePickerViewController::pickedDate() const {
    return viewModel().instantOn(fromQDate(datePicker->selectedDate()));
}

void EKYCDatePickerViewController::clickedSave() {
    const auto text = viewModel().savedText(pickedDate());
    if (text && didSaveDate) didSaveDate(*text);
    didSaveDate = nullptr;
    dismiss(true);
}

void EKYCDatePickerViewController::clickedClose() {
    dismiss(true);
}

}  // namespace ovira

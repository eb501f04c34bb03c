#include "screens/datepicker/EKYCDatePickerViewController.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QLayout>
#include <QLocale>
#include <QTextCharFormat>
#include <cmath>

#include "resources/ColorAsset.h"
#include "resources/EKYCHostStrings.h"
#include "resources/EKYCImage.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
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
    setupUi(this);
}

// This sheet has no close item: it closes by its own button or a tap outside.
void EKYCDatePickerViewController::setupUI() {
    setMaximumContentWidth(readableContentWidth);
    lbTitle->setText(localizedText("info.choose_time"));
    lbTitle->setFont(systemFont(18));
    lbTitle->setWordWrap(true);
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    setWrappingText(btnSave, localizedText("common.save"));
    btnSave->setFont(systemFont(16));
    styleFilledButton(btnSave, ColorAsset::primary().color(), Qt::white, EKYCTheme::pixelRadius(8),
                      ColorAsset::disable().color(), ColorAsset::secondText().color());
    connect(btnSave, &QPushButton::clicked, this, &EKYCDatePickerViewController::clickedSave);
    btnClose->setIcon(ImageAsset::image(QStringLiteral("ic_sheet_close")).icon());
    btnClose->setCursor(Qt::PointingHandCursor);
    connect(btnClose, &QToolButton::clicked, this, &EKYCDatePickerViewController::clickedClose);
    btnClose->setAccessibleName(accessibleText("a11y.close"));
    styleSheetPanel(vBottomSheet);
    styleCalendar();

    const auto& model = viewModel();
    if (const auto earliest = model.minimumDay()) datePicker->setMinimumDate(toQDate(*earliest));
    if (const auto latest = model.maximumDay()) datePicker->setMaximumDate(toQDate(*latest));
    // The picker opens on the opening day whatever the field holds.
    datePicker->setSelectedDate(toQDate(model.openingDay()));
    nameCalendar();
    connect(datePicker, &QCalendarWidget::selectionChanged, this,
            &EKYCDatePickerViewController::describeSelectedDate);
    describeSelectedDate();
}

// The calendar and its grid are named by the sheet's title; the month
// arrows drawn as text get words.
void EKYCDatePickerViewController::nameCalendar() {
    const QString name = lbTitle->text();
    datePicker->setAccessibleName(name);
    if (auto* grid = datePicker->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview")))
        grid->setAccessibleName(name);
    const std::pair<const char*, const char*> words[] = {{"qt_calendar_prevmonth", "a11y.previous_month"},
                                                         {"qt_calendar_nextmonth", "a11y.next_month"}};
    for (const auto& [object, key] : words)
        if (auto* button = datePicker->findChild<QToolButton*>(QString::fromLatin1(object)))
            button->setAccessibleName(accessibleText(key));
    if (auto* year = datePicker->findChild<QWidget*>(QStringLiteral("qt_calendar_yearedit")))
        year->setAccessibleName(accessibleText("a11y.year"));
}

// The chosen day read out in full, in the flow's language, on the calendar
// and its grid; the description changes (and is announced) with the day.
void EKYCDatePickerViewController::describeSelectedDate() {
    const QString day = datePicker->locale().toString(datePicker->selectedDate(), QLocale::LongFormat);
    const QString description = accessibleText("a11y.selected_date", {day});
    datePicker->setAccessibleDescription(description);
    if (auto* grid = datePicker->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview")))
        grid->setAccessibleDescription(description);
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
    // The light look whatever the system's style; weekends like other days;
    // today is not set apart from the other days.
    QTextCharFormat days;
    days.setForeground(text);
    for (auto weekday : {Qt::Saturday, Qt::Sunday}) datePicker->setWeekdayTextFormat(weekday, days);
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
    // Month arrows as text, so that they take the library's colour.
    for (const auto& [name, arrow] :
         {std::pair{"qt_calendar_prevmonth", "‹"}, std::pair{"qt_calendar_nextmonth", "›"}}) {
        if (auto* button = datePicker->findChild<QToolButton*>(QString::fromLatin1(name))) {
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            button->setText(QString::fromUtf8(arrow));
        }
    }
    setCalendarTextScale(textScale());
}

// The calendar's texts at `scale` times the design's sizes: days 15
// points, weekdays 12, month and year 16, the arrows 22.
void EKYCDatePickerViewController::setCalendarTextScale(qreal scale) {
    calendarTextScale_ = scale;
    const auto sized = [scale](qreal size, QFont::Weight weight) {
        QFont font = systemFont(size, weight);
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(size * scale))));
        return font;
    };
    datePicker->setFont(sized(15, QFont::Normal));
    QTextCharFormat header;
    header.setForeground(ColorAsset::blackAAA().color());
    header.setFont(sized(12, QFont::Normal));
    header.setBackground(Qt::white);
    datePicker->setHeaderTextFormat(header);
    datePicker->setStyleSheet(
        QStringLiteral(
            "QWidget#qt_calendar_navigationbar { background: #FFFFFF; }"
            "QToolButton { color: %1; background: transparent; border: none; font-size: %6px;"
            " font-weight: bold; padding: 6px 10px; }"
            "QToolButton:pressed { background: %3; border-radius: %4px; }"
            "QToolButton::menu-indicator { image: none; }"
            "QSpinBox { color: %1; background: #F0F2F6; border: none; border-radius: %5px; padding: 2px 6px;"
            " font-size: %6px; }"
            "QAbstractItemView { selection-background-color: %2; selection-color: #FFFFFF;"
            " outline: 0; }")
            .arg(ColorAsset::blackAAA().color().name(), ColorAsset::primary().color().name(),
                 EKYCTheme::primaryTint().name())
            .arg(EKYCTheme::pixelRadius(8))
            .arg(EKYCTheme::pixelRadius(6))
            .arg(std::lround(16 * scale)));
    for (const char* name : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"})
        if (auto* button = datePicker->findChild<QToolButton*>(QString::fromLatin1(name)))
            button->setFont(sized(22, QFont::Bold));
}

void EKYCDatePickerViewController::fitCalendar() {
    // The calendar spans the panel's content.
    const QMargins panel = vBottomSheet->layout()->contentsMargins();
    const int width = contentsRect().width() - panel.left() - panel.right();
    if (width <= 0 || width == fittedWidth_) return;
    fittedWidth_ = width;
    qreal scale = textScale();
    setCalendarTextScale(scale);
    while (scale > 1 && datePicker->minimumSizeHint().width() > width) {
        scale = std::max<qreal>(1, scale - 0.1);
        setCalendarTextScale(scale);
    }
}

void EKYCDatePickerViewController::resizeEvent(QResizeEvent* event) {
    EKYCPanelSheetViewController::resizeEvent(event);
    if (isViewLoaded()) fitCalendar();
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

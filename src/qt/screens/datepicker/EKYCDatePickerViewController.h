#pragma once

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <functional>
#include <string>

#include "screens/datepicker/EKYCDatePickerViewModel.h"
#include "screens/base/EKYCPanelSheetViewController.h"
#include "ui_EKYCDatePickerViewController.h"

namespace ovira {

// A sheet with a calendar for a date field of the form: only past days for
// a past date, only days from today for a future one. Saving hands back
// "dd/MM/yyyy" text, and nothing when the day was not changed.
class EKYCDatePickerViewController : public EKYCPanelSheetViewController<EKYCDatePickerViewModel>,
                                     public Ui::EKYCDatePickerViewController {
    Q_OBJECT
public:
    explicit EKYCDatePickerViewController(QWidget* parent = nullptr);

    // Called at most once per opening, before the sheet closes.
    std::function<void(const std::string&)> didSaveDate;

    QWidget* sheetPanel() const override { return vBottomSheet; }
    // The instant the picker stands at: its day at the opening time of day.
    EKYCDatePickerViewModel::TimePoint pickedDate() const;

    void clickedSave();
    void clickedClose();

protected:
    void setupUI() override;
    void didTapOutsidePanel() override { clickedClose(); }
    void resizeEvent(QResizeEvent* event) override;

private:
    void styleCalendar();
    void setCalendarTextScale(qreal scale);
    // The calendar's texts as large as the text size asks, or as large as
    // the calendar's seven columns hold at the present width (never below
    // the design's sizes): a phone's width holds the days at about one and
    // a half times their size.
    void fitCalendar();
    void nameCalendar();
    void describeSelectedDate();

    qreal calendarTextScale_ = 1;
    int fittedWidth_ = 0;

public:
    // The size of the calendar's texts against the design's.
    qreal calendarTextScale() const { return calendarTextScale_; }
};

}  // namespace ovira

#pragma once

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <functional>
#include <string>

#include "screens/datepicker/EKYCDatePickerViewModel.h"
#include "ui/sheet/EKYCPanelSheetViewController.h"

namespace ovira {

// A sheet with a calendar for a date field of the form: only past days for
// a past date, only days from today for a future one. Saving hands back
// "dd/MM/yyyy" text, and nothing when the day was not changed.
class EKYCDatePickerViewController : public EKYCPanelSheetViewController<EKYCDatePickerViewModel> {
    Q_OBJECT
public:
    explicit EKYCDatePickerViewController(QWidget* parent = nullptr);

    QCalendarWidget* datePicker = nullptr;
    QPushButton* btnSave = nullptr;
    QLabel* lbTitle = nullptr;
    QWidget* vBottomSheet = nullptr;
    QToolButton* btnClose = nullptr;

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

private:
    void styleCalendar();
};

}  // namespace ovira

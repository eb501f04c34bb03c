#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "api/EKYCInfomationDocument.h"
#include "screens/base/EKYCBaseViewModel.h"

namespace ovira {

// The date of a form field: bounded by the field's kind of date, opened on
// the moment it was created, handed back as "dd/MM/yyy" text.
class EKYCDatePickerViewModel : public EKYCBaseViewModel {
public:
    using TimePoint = std::chrono::system_clock::time_point;

    EKYCDatePickerViewModel(EKYCInfomationDocument field, TimePoint openedAt)
        : infoDocument(std::move(field)), currentDate(openedAt) {}

    const EKYCInfomationDocument infoDocument;
    const TimePoint currentDate;

    // Past dates only: nothing after the opening moment.
    std::optional<TimePoint> maximumDate() const;
    // Future dates only: nothing before the opening moment.
    std::optional<TimePoint> minimumDate() const;

    // The text to hand back for the picked moment; nothing when the picker
    // was not moved (exactly the opening moment).
    std::optional<std::string> savedText(TimePoint picked) const;

    // The picker chooses calendar days; each day stands for the instant at
    // the opening moment's time of day, so that the opening day itself is
    // exactly currentDate and an unmoved picker hands nothing back.
    using Day = std::chrono::year_month_day;
    // The calendar day of currentDate in the device's time zone.
    Day openingDay() const;
    // The first and last days that may be chosen, when bounded.
    std::optional<Day> minimumDay() const;
    std::optional<Day> maximumDay() const;
    // `day` at the opening moment's local time of day.
    TimePoint instantOn(Day day) const;

    // The calendar day of `time` in the device's time zone.
    static Day localDay(TimePoint time);

    // Day, month and year of `time` in the device's time zone, "dd/MM/yyy":
    // two-digit day and month, a year of at least three digits.
    static std::string formatDate(TimePoint time);
};

}  // namespace ovira

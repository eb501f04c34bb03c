#include "screens/datepicker/EKYCDatePickerViewModel.h"

#include <cstdio>
#include <ctime>

namespace ovira {

using DateType = EKYCInfomationDocument::DateType;

std::optional<EKYCDatePickerViewModel::TimePoint> EKYCDatePickerViewModel::maximumDate() const {
    if (infoDocument.dateType == DateType::pass) return currentDate;
    return std::nullopt;
}

std::optional<EKYCDatePickerViewModel::TimePoint> EKYCDatePickerViewModel::minimumDate() const {
    if (infoDocument.dateType == DateType::feature) return currentDate;
    return std::nullopt;
}

std::optional<std::string> EKYCDatePickerViewModel::savedText(TimePoint picked) const {
    if (picked == currentDate) return std::nullopt;
    return formatDate(picked);
}

std::string EKYCDatePickerViewModel::formatDate(TimePoint time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%03d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900);
    return text;
}

}  // namespace ovira

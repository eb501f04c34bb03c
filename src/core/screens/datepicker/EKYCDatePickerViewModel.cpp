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

EKYCDatePickerViewModel::Day EKYCDatePickerViewModel::localDay(TimePoint time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return {};
    return std::chrono::year(local.tm_year + 1900) /
           std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)) /
           std::chrono::day(static_cast<unsigned>(local.tm_mday));
}

EKYCDatePickerViewModel::Day EKYCDatePickerViewModel::openingDay() const {
    return localDay(currentDate);
}

std::optional<EKYCDatePickerViewModel::Day> EKYCDatePickerViewModel::minimumDay() const {
    if (const auto bound = minimumDate()) return localDay(*bound);
    return std::nullopt;
}

std::optional<EKYCDatePickerViewModel::Day> EKYCDatePickerViewModel::maximumDay() const {
    if (const auto bound = maximumDate()) return localDay(*bound);
    return std::nullopt;
}

EKYCDatePickerViewModel::TimePoint EKYCDatePickerViewModel::instantOn(Day day) const {
    // Rebuilding the opening day through mktime could land on the other side
    // of a daylight-saving change; the opening day is the opening moment.
    if (day == openingDay()) return currentDate;
    const auto whole = std::chrono::floor<std::chrono::seconds>(currentDate);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(whole);
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return currentDate;
    local.tm_year = static_cast<int>(day.year()) - 1900;
    local.tm_mon = static_cast<int>(static_cast<unsigned>(day.month())) - 1;
    local.tm_mday = static_cast<int>(static_cast<unsigned>(day.day()));
    local.tm_isdst = -1;
    const std::time_t moved = std::mktime(&local);
    if (moved == static_cast<std::time_t>(-1)) return currentDate;
    return std::chrono::system_clock::from_time_t(moved) + (currentDate - whole);
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

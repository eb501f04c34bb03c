#include "resources/EKYCSupportedLanguage.h"

namespace ovira {

std::string_view rawValue(EKYCSupportedLanguage language) {
    return language == EKYCSupportedLanguage::english ? "en" : "vi";
}

std::optional<EKYCSupportedLanguage> EKYCSupportedLanguageFromRawValue(std::string_view rawValue) {
    if (rawValue == "vi") return EKYCSupportedLanguage::vietnamese;
    if (rawValue == "en") return EKYCSupportedLanguage::english;
    return std::nullopt;
}

std::string_view formattingLocale(EKYCSupportedLanguage language) {
    return language == EKYCSupportedLanguage::english ? "en-US" : "vi-VN";
}

}  // namespace ovira

#pragma once

#include <optional>
#include <string_view>

namespace ovira {

// The interface languages, in their order: Vietnamese first.
enum class EKYCSupportedLanguage { vietnamese, english };

// "vi", "en".
std::string_view rawValue(EKYCSupportedLanguage language);
// Exactly "vi" or "en" (case-sensitive); anything else is no language.
std::optional<EKYCSupportedLanguage> EKYCSupportedLanguageFromRawValue(std::string_view rawValue);
// The locale texts are formatted with: "vi-VN", "en-US".
std::string_view formattingLocale(EKYCSupportedLanguage language);

}  // namespace ovira

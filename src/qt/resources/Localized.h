#pragma once

#include <QString>
#include <initializer_list>
#include <vector>

#include "resources/EKYCHostStrings.h"
#include "resources/EKYCTranslationService.h"
#include "resources/StringFormat.h"

namespace ovira {

// The text of a key of the library's "Localizable" table, for display.
inline QString localizedText(const char* key) {
    return QString::fromStdString(localized(key));
}

// The text of a key of the "Accessibility" table: what a screen reader says.
inline QString accessibleText(const char* key) {
    return QString::fromStdString(localizedAccessibility(key));
}

// The same with `arguments` in place of the text's %1$@, %2$@, ...,
// formatted for the flow's language.
inline QString accessibleText(const char* key, std::initializer_list<QString> arguments) {
    std::vector<EKYCFormatArgument> values;
    values.reserve(arguments.size());
    for (const QString& argument : arguments) values.emplace_back(argument.toStdString());
    return QString::fromStdString(formatLocalized(localizedAccessibility(key),
                                                  EKYCHostStrings::shared().currentFormattingLocale(), values));
}

}  // namespace ovira

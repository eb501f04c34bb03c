#pragma once

#include <QString>

#include "resources/EKYCTranslationService.h"

namespace ovira {

// The text of a key of the library's "Localizable" table, for display.
inline QString localizedText(const char* key) {
    return QString::fromStdString(localized(key));
}

}  // namespace ovira

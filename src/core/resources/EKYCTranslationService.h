#pragma once

#include <span>
#include <string>

#include "resources/EKYCLocalizationService.h"
#include "resources/EKYCStringBundle.h"
#include "resources/StringFormat.h"

namespace ovira {

// Looks texts up by key. The string tables are those of the language that
// was current when the service was created; the formatting locale follows
// the current language on every lookup. So a language stored after the
// first lookup changes the texts only in the next process.
class EKYCTranslationService {
public:
    static constexpr const char* defaultTable = "Localizable";
    // What assistive technologies read: names and descriptions of controls,
    // announcements.
    static constexpr const char* accessibilityTable = "Accessibility";

    // The process-wide service, created on the first lookup (thread-safe).
    static const EKYCTranslationService& shared();
    // Whether shared() has been created in this process.
    static bool isSharedCreated();

    // Chooses the localization folder of localization.currentLanguage() in
    // `library`, or the library bundle itself when it has no such folder.
    EKYCTranslationService(const EKYCLocalizationService& localization, const EKYCStringBundle& library);

    // The key's text, formatted for the current language's locale; the key
    // itself when the table has no text for it.
    std::string localize(const std::string& key, const std::string& table = defaultTable,
                         std::span<const EKYCFormatArgument> arguments = {}) const;

    // "vi-VN" or "en-US", from the current language.
    std::string formattingLocale() const;
    const EKYCStringBundle& bundle() const { return *bundle_; }
    // The code of the localization the texts come from: the current
    // language's at creation, or the development localization when the
    // library has no folder for it.
    const std::string& language() const { return language_; }

private:
    const EKYCLocalizationService& localization_;
    const EKYCStringBundle* bundle_;
    std::string language_;
};

// The text of a key of the "Localizable" table, as the flow shows it: the
// host's texts and language (EKYCHostStrings) over the shared service.
std::string localized(const std::string& key);
// The same for a key of the "Accessibility" table.
std::string localizedAccessibility(const std::string& key);

}  // namespace ovira

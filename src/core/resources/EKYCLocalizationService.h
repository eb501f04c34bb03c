#pragma once

#include "resources/EKYCSupportedLanguage.h"

namespace ovira {

class UserDefaults;

// Decides the interface language. The host chooses it by storing "vi" or
// "en" under currentLanguageKey in the user defaults before starting the
// flow; the library only reads it, afresh on every request.
class EKYCLocalizationService {
public:
    static constexpr const char* currentLanguageKey = "_localization_currentLanguage";

    // The process-wide service over the standard user defaults, created once.
    static const EKYCLocalizationService& shared();

    explicit EKYCLocalizationService(const UserDefaults& defaults);

    // The fallback: Vietnamese.
    EKYCSupportedLanguage baseLanguage() const { return EKYCSupportedLanguage::vietnamese; }
    // The stored language when it is exactly "vi" or "en"; baseLanguage()
    // for anything else (nothing stored, a number, "EN", "en-US", ...).
    EKYCSupportedLanguage currentLanguage() const;

private:
    const UserDefaults& defaults_;
};

}  // namespace ovira

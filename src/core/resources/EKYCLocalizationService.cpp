#include "resources/EKYCLocalizationService.h"

#include <nlohmann/json.hpp>

#include "ovira/UserDefaults.h"

namespace ovira {

const EKYCLocalizationService& EKYCLocalizationService::shared() {
    static const EKYCLocalizationService service(UserDefaults::standard());
    return service;
}

EKYCLocalizationService::EKYCLocalizationService(const UserDefaults& defaults) : defaults_(defaults) {}

EKYCSupportedLanguage EKYCLocalizationService::currentLanguage() const {
    const nlohmann::json stored = defaults_.object(currentLanguageKey);
    if (!stored.is_string()) return baseLanguage();
    return EKYCSupportedLanguageFromRawValue(stored.get<std::string>()).value_or(baseLanguage());
}

}  // namespace ovira

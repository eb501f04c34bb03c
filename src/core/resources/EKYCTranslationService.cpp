#include "resources/EKYCTranslationService.h"

namespace ovira {

const EKYCTranslationService& EKYCTranslationService::shared() {
    static const EKYCTranslationService service(EKYCLocalizationService::shared(),
                                                EKYCStringBundle::library());
    return service;
}

EKYCTranslationService::EKYCTranslationService(const EKYCLocalizationService& localization,
                                               const EKYCStringBundle& library)
    : localization_(localization), bundle_(&library) {
    if (const auto* folder = library.localization(rawValue(localization.currentLanguage()))) bundle_ = folder;
}

std::string EKYCTranslationService::localize(const std::string& key, const std::string& table,
                                             std::span<const EKYCFormatArgument> arguments) const {
    return formatLocalized(bundle_->localizedString(key, table), formattingLocale(), arguments);
}

std::string EKYCTranslationService::formattingLocale() const {
    return std::string(ovira::formattingLocale(localization_.currentLanguage()));
}

std::string localized(const std::string& key) {
    return EKYCTranslationService::shared().localize(key);
}

}  // namespace ovira

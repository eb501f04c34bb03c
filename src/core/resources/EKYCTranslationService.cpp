#include "resources/EKYCTranslationService.h"

#include <atomic>

#include "resources/EKYCHostStrings.h"

namespace ovira {
namespace {

std::atomic<bool> sharedCreated{false};

}  // namespace

const EKYCTranslationService& EKYCTranslationService::shared() {
    static const EKYCTranslationService service = [] {
        EKYCTranslationService created(EKYCLocalizationService::shared(), EKYCStringBundle::library());
        sharedCreated.store(true, std::memory_order_release);
        return created;
    }();
    return service;
}

bool EKYCTranslationService::isSharedCreated() {
    return sharedCreated.load(std::memory_order_acquire);
}

EKYCTranslationService::EKYCTranslationService(const EKYCLocalizationService& localization,
                                               const EKYCStringBundle& library)
    : localization_(localization), bundle_(&library), language_(EKYCStringBundle::developmentLocalization) {
    const std::string_view code = rawValue(localization.currentLanguage());
    if (const auto* folder = library.localization(code)) {
        bundle_ = folder;
        language_ = code;
    }
}

std::string EKYCTranslationService::localize(const std::string& key, const std::string& table,
                                             std::span<const EKYCFormatArgument> arguments) const {
    return formatLocalized(bundle_->localizedString(key, table), formattingLocale(), arguments);
}

std::string EKYCTranslationService::formattingLocale() const {
    return std::string(ovira::formattingLocale(localization_.currentLanguage()));
}

std::string localized(const std::string& key) {
    return EKYCHostStrings::shared().localize(key);
}

std::string localizedAccessibility(const std::string& key) {
    return EKYCHostStrings::shared().localize(key, EKYCTranslationService::accessibilityTable);
}

}  // namespace ovira

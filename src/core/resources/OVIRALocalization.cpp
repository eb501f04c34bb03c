#include "ovira/OVIRALocalization.h"

#include "resources/EKYCHostStrings.h"
#include "resources/EKYCTranslationService.h"

namespace ovira {

std::string OVIRAStringsError::message() const {
    const std::string where = line > 0 ? file.string() + ":" + std::to_string(line) : file.string();
    return where + ": " + reason;
}

std::optional<OVIRAStringsError> OVIRALocalization::loadStrings(const std::filesystem::path& file,
                                                                const OVIRALanguage& language) {
    return EKYCHostStrings::shared().load(file, language.code());
}

void OVIRALocalization::resetStrings() {
    EKYCHostStrings::shared().reset();
}

std::vector<OVIRALanguage> OVIRALocalization::availableLanguages() {
    std::vector<OVIRALanguage> languages;
    for (auto& code : EKYCHostStrings::shared().languages()) languages.emplace_back(std::move(code));
    return languages;
}

bool OVIRALocalization::isAvailable(const OVIRALanguage& language) {
    return EKYCHostStrings::shared().isAvailable(language.code());
}

bool OVIRALocalization::setLanguage(const OVIRALanguage& language) {
    return EKYCHostStrings::shared().choose(language.code());
}

OVIRALanguage OVIRALocalization::currentLanguage() {
    return OVIRALanguage(EKYCHostStrings::shared().currentLanguage());
}

std::string OVIRALocalization::text(const std::string& key) {
    return localized(key);
}

}  // namespace ovira

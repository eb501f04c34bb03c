#include "resources/EKYCStringBundle.h"

namespace ovira {

EKYCStringBundle::EKYCStringBundle(Tables tables) : tables_(std::move(tables)) {}

EKYCStringBundle::EKYCStringBundle(const std::vector<CompiledString>& strings) {
    std::map<std::string, Tables, std::less<>> byLocalization;
    for (const auto& s : strings) byLocalization[s.localization][s.table][s.key] = s.text;
    for (auto& [code, tables] : byLocalization)
        localizations_.emplace(code,
                               std::unique_ptr<EKYCStringBundle>(new EKYCStringBundle(std::move(tables))));
}

EKYCStringBundle::~EKYCStringBundle() = default;

const EKYCStringBundle& EKYCStringBundle::library() {
    static const EKYCStringBundle bundle(compiledStrings());
    return bundle;
}

const EKYCStringBundle* EKYCStringBundle::localization(std::string_view code) const {
    const auto it = localizations_.find(code);
    return it == localizations_.end() ? nullptr : it->second.get();
}

std::vector<std::string> EKYCStringBundle::localizations() const {
    std::vector<std::string> codes;
    for (const auto& [code, bundle] : localizations_) codes.push_back(code);
    return codes;
}

std::string EKYCStringBundle::localizedString(const std::string& key, const std::string& table) const {
    // The library bundle itself answers from its development localization.
    if (tables_.empty() && !localizations_.empty()) {
        if (const auto* development = localization(developmentLocalization))
            return development->localizedString(key, table);
        return key;
    }
    const auto tableIt = tables_.find(table);
    if (tableIt == tables_.end()) return key;
    const auto it = tableIt->second.find(key);
    return it == tableIt->second.end() ? key : it->second;
}

std::vector<std::string> EKYCStringBundle::keys(const std::string& table) const {
    std::vector<std::string> result;
    if (const auto tableIt = tables_.find(table); tableIt != tables_.end())
        for (const auto& [key, text] : tableIt->second) result.push_back(key);
    return result;
}

}  // namespace ovira

#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "resources/CompiledStringTables.h"

namespace ovira {

// The string tables of the library's resource bundle. The library bundle
// holds one localization folder per language ("vi.lproj", "en.lproj"); a
// lookup in the library bundle itself uses its development localization.
class EKYCStringBundle {
public:
    static constexpr const char* developmentLocalization = "vi";

    // The bundle compiled into the library, built once.
    static const EKYCStringBundle& library();

    // A bundle made of the given texts (tests make their own).
    explicit EKYCStringBundle(const std::vector<CompiledString>& strings);
    ~EKYCStringBundle();
    EKYCStringBundle(const EKYCStringBundle&) = delete;
    EKYCStringBundle& operator=(const EKYCStringBundle&) = delete;

    // The folder "<code>.lproj" as a bundle of its own, or nullptr when the
    // library has no such localization.
    const EKYCStringBundle* localization(std::string_view code) const;
    std::vector<std::string> localizations() const;

    // The text of the key in the table; the key itself when there is none.
    std::string localizedString(const std::string& key, const std::string& table) const;
    // Every key of the table.
    std::vector<std::string> keys(const std::string& table) const;

private:
    using Tables = std::map<std::string, std::map<std::string, std::string>, std::less<>>;
    explicit EKYCStringBundle(Tables tables);

    Tables tables_;  // of this folder; empty for the library bundle itself
    std::map<std::string, std::unique_ptr<EKYCStringBundle>, std::less<>> localizations_;
};

}  // namespace ovira

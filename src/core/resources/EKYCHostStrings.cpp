#include "resources/EKYCHostStrings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "ovira/EKYCLogger.h"
#include "ovira/UserDefaults.h"
#include "resources/EKYCLocalizationService.h"
#include "resources/EKYCTranslationService.h"
#include "resources/StringsFileParser.h"

namespace ovira {
namespace {

// A strings file larger than this is not a strings file (the library's own
// tables are a few kilobytes).
constexpr std::uintmax_t maximumFileSize = 4 * 1024 * 1024;

bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}
bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBuiltIn(std::string_view language) {
    return EKYCSupportedLanguageFromRawValue(language).has_value();
}

// The whole file, or the reason it cannot be had.
std::optional<std::string> readFile(const std::filesystem::path& file, std::string& reason) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (!std::filesystem::exists(status)) {
        reason = "no such file";
        return std::nullopt;
    }
    if (std::filesystem::is_directory(status)) {
        reason = "a folder, not a strings file";
        return std::nullopt;
    }
    if (std::filesystem::is_regular_file(status)) {
        const auto size = std::filesystem::file_size(file, error);
        if (!error && size > maximumFileSize) {
            reason = "larger than 4 MB: not a strings file";
            return std::nullopt;
        }
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        reason = std::string("cannot be read: ") + std::strerror(errno);
        return std::nullopt;
    }
    std::string text;
    char buffer[8192];
    while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(stream.gcount()));
        if (text.size() > maximumFileSize) {
            reason = "larger than 4 MB: not a strings file";
            return std::nullopt;
        }
    }
    if (stream.bad()) {
        reason = "cannot be read";
        return std::nullopt;
    }
    return text;
}

}  // namespace

EKYCHostStrings& EKYCHostStrings::shared() {
    static EKYCHostStrings strings;
    return strings;
}

bool EKYCHostStrings::isLanguageCode(std::string_view code) {
    // language: 2–3 lowercase letters
    std::size_t i = 0;
    while (i < code.size() && isLower(code[i])) ++i;
    if (i < 2 || i > 3) return false;
    if (i == code.size()) return true;
    // -Script: an uppercase letter and three lowercase ones
    auto part = code.substr(i);
    if (part.size() >= 5 && part[0] == '-' && isUpper(part[1]) && isLower(part[2]) && isLower(part[3]) &&
        isLower(part[4])) {
        part.remove_prefix(5);
        if (part.empty()) return true;
    }
    // -REGION: two uppercase letters or three digits
    if (part.size() == 3) return part[0] == '-' && isUpper(part[1]) && isUpper(part[2]);
    if (part.size() == 4) return part[0] == '-' && isDigit(part[1]) && isDigit(part[2]) && isDigit(part[3]);
    return false;
}

std::optional<OVIRAStringsError> EKYCHostStrings::load(const std::filesystem::path& file,
                                                       const std::string& language) {
    if (!isLanguageCode(language))
        return OVIRAStringsError{file, 0,
                                 "\"" + language +
                                     "\" is not a language code (two or three lowercase letters, "
                                     "optionally a region, such as \"fr\" or \"pt-BR\")"};
    std::string reason;
    const auto text = readFile(file, reason);
    if (!text) return OVIRAStringsError{file, 0, reason};
    std::vector<strings::StringsEntry> entries;
    try {
        entries = strings::parseStringsEntries(*text);
    } catch (const strings::StringsSyntaxError& error) {
        return OVIRAStringsError{file, error.line(), error.reason()};
    }
    if (entries.empty()) return OVIRAStringsError{file, 0, "holds no texts"};

    // A key the library does not use is most likely misspelt; it is kept
    // (a file may be shared with a newer library) but named in the log.
    const auto* base = EKYCStringBundle::library().localization(EKYCStringBundle::developmentLocalization);
    static const EKYCLogger logger("OVIRALocalization", EKYCLogger::Subsystem::general);
    std::map<std::string, std::string> texts;
    for (auto& entry : entries) {
        if (base && base->localizedString(entry.key, EKYCTranslationService::defaultTable) == entry.key &&
            base->localizedString(entry.key, EKYCTranslationService::accessibilityTable) == entry.key)
            logger.logMessage(
                OVIRAStringsError{file, entry.line, "the flow has no text \"" + entry.key + "\""}.message());
        texts.emplace(std::move(entry.key), std::move(entry.text));
    }
    add(language, texts);
    return std::nullopt;
}

void EKYCHostStrings::add(const std::string& language, const std::map<std::string, std::string>& texts) {
    std::lock_guard lock(mutex_);
    auto& table = texts_[language];
    for (const auto& [key, text] : texts) table.insert_or_assign(key, text);
    if (!isBuiltIn(language) && std::find(added_.begin(), added_.end(), language) == added_.end())
        added_.push_back(language);
}

void EKYCHostStrings::reset() {
    std::lock_guard lock(mutex_);
    texts_.clear();
    added_.clear();
    if (chosen_ && !isBuiltIn(*chosen_)) chosen_.reset();
}

std::vector<std::string> EKYCHostStrings::languages() const {
    std::vector<std::string> codes{std::string(rawValue(EKYCSupportedLanguage::vietnamese)),
                                   std::string(rawValue(EKYCSupportedLanguage::english))};
    std::lock_guard lock(mutex_);
    codes.insert(codes.end(), added_.begin(), added_.end());
    return codes;
}

bool EKYCHostStrings::isAvailable(std::string_view language) const {
    if (isBuiltIn(language)) return true;
    std::lock_guard lock(mutex_);
    return std::find(added_.begin(), added_.end(), language) != added_.end();
}

bool EKYCHostStrings::choose(const std::string& language) {
    if (!isAvailable(language)) return false;
    UserDefaults::standard().setString(EKYCLocalizationService::currentLanguageKey, language);
    std::lock_guard lock(mutex_);
    chosen_ = language;
    return true;
}

std::string EKYCHostStrings::currentLanguage() const {
    {
        std::lock_guard lock(mutex_);
        if (chosen_) return *chosen_;
    }
    if (EKYCTranslationService::isSharedCreated()) return EKYCTranslationService::shared().language();
    // What the first lookup will pick.
    const std::string code(rawValue(EKYCLocalizationService::shared().currentLanguage()));
    return EKYCStringBundle::library().localization(code) ? code : EKYCStringBundle::developmentLocalization;
}

std::string EKYCHostStrings::currentFormattingLocale() const {
    {
        std::lock_guard lock(mutex_);
        if (chosen_) return formattingLocale(*chosen_);
    }
    return EKYCTranslationService::shared().formattingLocale();
}

std::string EKYCHostStrings::formattingLocale(const std::string& language) {
    if (const auto builtIn = EKYCSupportedLanguageFromRawValue(language))
        return std::string(ovira::formattingLocale(*builtIn));
    return language;
}

std::optional<std::string> EKYCHostStrings::hostText(const std::string& language,
                                                     const std::string& key) const {
    const auto table = texts_.find(language);
    if (table == texts_.end()) return std::nullopt;
    const auto it = table->second.find(key);
    return it == table->second.end() ? std::nullopt : std::optional(it->second);
}

std::optional<std::string> EKYCHostStrings::builtInText(const std::string& language, const std::string& key,
                                                        const std::string& table) const {
    const auto* folder = EKYCStringBundle::library().localization(language);
    if (!folder) return std::nullopt;
    std::string text = folder->localizedString(key, table);
    return text == key ? std::nullopt : std::optional(std::move(text));
}

std::string EKYCHostStrings::localize(const std::string& key, const std::string& table) const {
    // Without a choice in code the shared service decides, as it always has:
    // its texts are those of the language stored at the first lookup, and
    // its locale follows the stored language.
    const auto& service = EKYCTranslationService::shared();
    const std::string base = EKYCStringBundle::developmentLocalization;
    std::lock_guard lock(mutex_);
    const std::string language = chosen_ ? *chosen_ : service.language();
    const std::string locale = chosen_ ? formattingLocale(language) : service.formattingLocale();
    std::optional<std::string> text = hostText(language, key);
    if (!text) text = builtInText(language, key, table);
    if (!text && language != base) text = hostText(base, key);
    if (!text) text = builtInText(base, key, table);
    return formatLocalized(text.value_or(key), locale, {});
}

}  // namespace ovira

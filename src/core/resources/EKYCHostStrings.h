#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ovira/OVIRALocalization.h"

namespace ovira {

// The texts and languages the host added over the library's own string
// tables, and the language it chose in code (OVIRALocalization).
//
// A text is looked up in the language of the flow: the host's text for it,
// else the built-in one, else Vietnamese as the flow shows it (the host's
// Vietnamese text, else the built-in one), else the key itself.
//
// The language of the flow is the one chosen with choose(); until the host
// chooses one, it is the one the shared translation service picked at the
// first lookup from the stored "_localization_currentLanguage", so a raw
// write of that key still changes the texts only in a new process.
//
// Thread-safe: loads may come from any thread, lookups from the GUI thread.
class EKYCHostStrings {
public:
    // The process-wide store, over the library's tables, the shared
    // translation service and the standard user defaults.
    static EKYCHostStrings& shared();

    EKYCHostStrings(const EKYCHostStrings&) = delete;
    EKYCHostStrings& operator=(const EKYCHostStrings&) = delete;

    // Whether `code` looks like a language code: two or three lowercase
    // letters, optionally a script ("-Latn") and then a region ("-BR", "-419").
    static bool isLanguageCode(std::string_view code);

    // Reads `file` and adds its texts to `language`, key by key; refused
    // with the reason, changing nothing, when the code is not a language
    // code or the file cannot be read or does not parse.
    std::optional<OVIRAStringsError> load(const std::filesystem::path& file, const std::string& language);
    // Adds parsed texts to `language` key by key (a new language is added).
    void add(const std::string& language, const std::map<std::string, std::string>& texts);
    // Forgets every added text and language; a chosen language that was
    // added is no longer chosen.
    void reset();

    // The built-in languages ("vi", "en"), then the added ones in the order added.
    std::vector<std::string> languages() const;
    bool isAvailable(std::string_view language) const;

    // Makes `language` the flow's from now on and stores it under
    // "_localization_currentLanguage"; false, changing nothing, when it is
    // not available.
    bool choose(const std::string& language);
    // The language the flow shows now. Does not fix the language for the
    // process when nothing was looked up yet.
    std::string currentLanguage() const;

    // The locale the flow formats with now: the chosen language's, or the
    // stored language's as the shared translation service has it.
    std::string currentFormattingLocale() const;

    // The text of `key` in the flow's language, formatted for its locale.
    std::string localize(const std::string& key, const std::string& table = "Localizable") const;

    // The locale a language's texts are formatted with: "vi-VN", "en-US",
    // or the code itself for a language the host added.
    static std::string formattingLocale(const std::string& language);

private:
    EKYCHostStrings() = default;

    std::optional<std::string> hostText(const std::string& language, const std::string& key) const;
    std::optional<std::string> builtInText(const std::string& language, const std::string& key,
                                           const std::string& table) const;

    mutable std::mutex mutex_;
    std::map<std::string, std::map<std::string, std::string>, std::less<>> texts_;  // language → key → text
    std::vector<std::string> added_;                                                // languages not built in
    std::optional<std::string> chosen_;
};

}  // namespace ovira

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ovira/OVIRALanguage.h"

namespace ovira {

/// Why a strings file was refused.
struct OVIRAStringsError {
    /// The file refused.
    std::filesystem::path file;
    /// The line at fault, from 1; 0 when the file could not be read at all.
    int line = 0;
    /// What is wrong with it.
    std::string reason;

    /// "<file>:<line>: <reason>", or "<file>: <reason>" when line is 0.
    std::string message() const;
};

/// The flow's texts and language, under the host's control.
///
/// Texts are looked up by key (the keys of the library's own string tables,
/// such as "intro.select"). A host may replace any of them, per language,
/// and add languages, from strings files of the form
///
///     /* comment */   // comment
///     "intro.select" = "Choose your document";
///
/// in UTF-8, where a backslash escapes a quote, a backslash, n (a new line),
/// t (a tab), r (a carriage return) and uXXXX (any character). A key given twice
/// in one file is refused (which of the two was meant cannot be told); a key
/// the flow does not use is kept but named in the log, as it is most likely
/// misspelt.
///
/// Thread-safe; changes apply to screens created afterwards.
class OVIRALocalization {
public:
    /// Loads the host's texts for `language` from `file`, replacing texts the
    /// host loaded before for that language key by key. A language that is
    /// not built in becomes available; keys it lacks show the base
    /// language's texts (Vietnamese, with the host's Vietnamese texts if it
    /// loaded any). A file that cannot be read, holds no texts or does not
    /// parse is refused with its line number, and nothing changes; so is a
    /// code that does not look like a language code (two or three lowercase
    /// letters, optionally "-Script" and "-REGION": "fr", "pt-BR",
    /// "zh-Hant-TW"), with line 0.
    [[nodiscard]] static std::optional<OVIRAStringsError> loadStrings(const std::filesystem::path& file,
                                                                      const OVIRALanguage& language);

    /// Forgets every text and language the host loaded.
    static void resetStrings();

    /// The built-in languages, then those the host added, in the order added.
    static std::vector<OVIRALanguage> availableLanguages();
    /// Whether `language` is among availableLanguages().
    static bool isAvailable(const OVIRALanguage& language);

    /// Chooses the language of the flow from now on (it is also stored under
    /// "_localization_currentLanguage"). Returns false, changing nothing,
    /// for a language that is not available. Writing that key into the user
    /// defaults directly, rather than through this call, changes the texts
    /// only in the next process once the flow has looked a text up. A
    /// language the host added is no longer chosen after resetStrings().
    [[nodiscard]] static bool setLanguage(const OVIRALanguage& language);

    /// The language the flow shows now.
    static OVIRALanguage currentLanguage();

    /// The text the flow shows for `key` in the current language: the host's
    /// text when it loaded one, otherwise the built-in one; the key itself
    /// when there is none.
    static std::string text(const std::string& key);

    OVIRALocalization() = delete;
};

}  // namespace ovira

#pragma once

#include <string>

namespace ovira {

/// A language of the flow's texts, named by its code.
///
/// Vietnamese ("vi") and English ("en") are built in. A host adds another
/// language by loading a strings file for its code (see
/// OVIRALocalization::loadStrings()); texts that file lacks come from the
/// built-in base language, Vietnamese.
class OVIRALanguage {
public:
    /// Vietnamese, "vi": the base language.
    static OVIRALanguage vietnamese() { return OVIRALanguage("vi"); }
    /// English, "en".
    static OVIRALanguage english() { return OVIRALanguage("en"); }

    /// Any language code, such as "fr" or "th". Whether the library knows it
    /// is decided where it is used (OVIRALocalization::isAvailable()).
    explicit OVIRALanguage(std::string code) : code_(std::move(code)) {}

    /// The code, as given.
    const std::string& code() const { return code_; }

    /// Whether the codes are the same.
    friend bool operator==(const OVIRALanguage&, const OVIRALanguage&) = default;

private:
    std::string code_;
};

}  // namespace ovira

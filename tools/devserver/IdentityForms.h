#pragma once

#include <nlohmann/json.hpp>

#include <chrono>
#include <optional>
#include <string>

#include "CountryList.h"
#include "Messages.h"

namespace ovira::devserver {

enum class DocumentKind { IdentityCard, DrivingLicence, Passport };

// "NATIONAL_ID", "DRIVER_LICENSE" or "PASSPORT", the form's identityType.
std::string identityType(DocumentKind kind);

// Today's date on this machine's calendar.
std::chrono::year_month_day localToday();

// The getInfo answer for a document kind: identityType, identityName and the
// form of fields read "from the document", with sample values of a fictional
// holder. Dates lie relative to `today` so that an expiry is always ahead.
nlohmann::json identityInfo(DocumentKind kind, Language language, const CountryList& countries,
                            std::chrono::year_month_day today);

// Checks the text of a submitInfo "data" member: a JSON array of objects with
// an integer id and cardAttributeId and a string fieldValue. When the session's
// document kind is known, each field must also belong to its form and its
// value must suit the field's type (dd/MM/yyyy dates on the right side of
// today, "Nam"/"Nữ", digits, unchanged read-only values). Returns the parsed
// fields, or the reason for refusal in `language`.
struct SubmissionCheck {
    nlohmann::json fields;
    std::string error;  // empty when accepted
};
SubmissionCheck checkSubmission(const std::string& text, std::optional<DocumentKind> kind, Language language,
                                const CountryList& countries, std::chrono::year_month_day today);

// "dd/MM/yyyy" with a real calendar date.
std::optional<std::chrono::year_month_day> parseDate(const std::string& text);
std::string formatDate(std::chrono::year_month_day date);

}  // namespace ovira::devserver

#pragma once

#include <nlohmann/json.hpp>

#include <chrono>
#include <map>
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

// Values that replace the fictional holder's, by field: documentNumber,
// fullName, dateOfBirth, gender, nationality, placeOfOrigin, placeOfResidence,
// dateOfIssue, dateOfExpiry, issuingCountry, previousIdNumber, licenceClass,
// yearOfPassing, passportType, placeOfBirth, personalNumber. A document whose
// form lacks a field ignores its value. Tests plant recognisable values here.
using IdentityValues = std::map<std::string, std::string>;

// Throws std::invalid_argument, with a message fit for the user, for an
// unknown field or a value that the field's own submission check would refuse.
void checkIdentityValues(const IdentityValues& values, const CountryList& countries,
                         std::chrono::year_month_day today);

// The getInfo answer for a document kind: identityType, identityName and the
// form of fields read "from the document", with sample values of a fictional
// holder (or `values`). Dates lie relative to `today` so that an expiry is
// always ahead.
nlohmann::json identityInfo(DocumentKind kind, Language language, const CountryList& countries,
                            std::chrono::year_month_day today, const IdentityValues& values = {});

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
                                const CountryList& countries, std::chrono::year_month_day today,
                                const IdentityValues& values = {});

// "dd/MM/yyyy" with a real calendar date.
std::optional<std::chrono::year_month_day> parseDate(const std::string& text);
std::string formatDate(std::chrono::year_month_day date);

}  // namespace ovira::devserver

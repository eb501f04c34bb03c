#pragma once

#include <optional>

namespace ovira {

/// The identity document the user chose. It decides which photographs are
/// taken: front, back and face for the card and the licence; the photo page
/// and face for the passport.
enum class EkycTypeDocument : int { idCard = 0, passport = 1, licenseDriver = 2 };

/// The document of that raw value (0 card, 1 passport, 2 licence), or nothing.
std::optional<EkycTypeDocument> EkycTypeDocumentFromRawValue(int rawValue);

}  // namespace ovira

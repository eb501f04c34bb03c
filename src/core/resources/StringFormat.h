#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace ovira {

using EKYCFormatArgument = std::variant<std::string, long long, double>;

// Formats a localized text with its arguments for a locale ("vi-VN",
// "en-US"). Understands %% (a percent sign), %@ and %s (any argument as
// text), %d %i %ld %lld (integers), %f and %.Nf (decimals, with the locale's
// decimal separator), and positions such as %2$@. A specifier without a
// matching argument stays as written rather than reading past the list.
std::string formatLocalized(std::string_view format, std::string_view locale,
                            std::span<const EKYCFormatArgument> arguments);

}  // namespace ovira

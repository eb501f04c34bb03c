#pragma once

#include <array>
#include <string_view>

namespace ovira {

// The two genders of the form. Their texts are fixed, whatever the interface
// language: they are what the service reads and writes.
enum class EKYCGender { male, female };

inline constexpr std::array<EKYCGender, 2> kAllGenders{EKYCGender::male, EKYCGender::female};

// "Nam" and "Nữ" (N, U+1EEF).
std::string_view text(EKYCGender gender);

}  // namespace ovira

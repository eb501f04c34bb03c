#pragma once

#include <string>
#include <string_view>

namespace ovira {

// The text as plain ASCII for searching: "đ"/"Đ" become "d"/"D", accented
// Latin letters lose their marks, anything else without an ASCII form
// becomes "?". Invalid UTF-8 folds to the empty string.
std::string foldForSearch(std::string_view text);

// Whether `keyword` occurs anywhere in `value`, both folded, ignoring case.
bool matchesSearch(std::string_view value, std::string_view keyword);

}  // namespace ovira

#pragma once

#include <vector>

namespace ovira {

// One text of the library's string tables, compiled in from
// resources/<localization>.lproj/<table>.strings by ovira-stringsc.
struct CompiledString {
    const char* localization;  // "vi", "en"
    const char* table;         // "Localizable"
    const char* key;
    const char* text;
};

const std::vector<CompiledString>& compiledStrings();

}  // namespace ovira

#include "network/KeyConversion.h"

#include <vector>

namespace ovira {
namespace {
bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}
char toLower(char c) {
    return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}
char toUpper(char c) {
    return isLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}
}  // namespace

std::string convertFromSnakeCase(std::string_view key) {
    const auto first = key.find_first_not_of('_');
    if (first == std::string_view::npos) return std::string(key);  // empty or only underscores
    const auto last = key.find_last_not_of('_');
    const std::string_view leading = key.substr(0, first);
    const std::string_view trailing = key.substr(last + 1);
    const std::string_view middle = key.substr(first, last - first + 1);

    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start <= middle.size()) {
        const auto end = middle.find('_', start);
        const auto word =
            middle.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!word.empty()) words.push_back(word);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }

    std::string result(leading);
    if (words.size() == 1) {
        result += middle;
    } else {
        for (std::size_t i = 0; i < words.size(); ++i) {
            for (std::size_t j = 0; j < words[i].size(); ++j) {
                const char c = words[i][j];
                result += (i > 0 && j == 0) ? toUpper(c) : toLower(c);
            }
        }
    }
    result += trailing;
    return result;
}

std::string convertToSnakeCase(std::string_view key) {
    if (key.empty()) return std::string(key);
    std::vector<std::string_view> words;
    std::size_t wordStart = 0;
    std::size_t search = 1;
    while (true) {
        std::size_t upper = search;
        while (upper < key.size() && !isUpper(key[upper])) ++upper;
        if (upper >= key.size()) break;
        words.push_back(key.substr(wordStart, upper - wordStart));
        std::size_t lower = upper;
        while (lower < key.size() && !isLower(key[lower])) ++lower;
        if (lower >= key.size()) {
            wordStart = upper;  // a trailing run of capitals is one word
            search = key.size();
            break;
        }
        if (lower == upper + 1) {
            wordStart = upper;  // a single capital starts a word
        } else {
            // A run of capitals: all but the last form a word (an acronym).
            words.push_back(key.substr(upper, lower - 1 - upper));
            wordStart = lower - 1;
        }
        search = lower + 1;
    }
    words.push_back(key.substr(wordStart));

    std::string result;
    for (const auto& word : words) {
        if (word.empty()) continue;
        if (!result.empty()) result += '_';
        for (char c : word) result += toLower(c);
    }
    return result;
}

}  // namespace ovira

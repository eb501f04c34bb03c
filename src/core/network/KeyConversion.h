#pragma once

#include <string>
#include <string_view>

namespace ovira {

// "first_name" → "firstName". Leading and trailing underscores are kept; a key
// without inner underscores is left as it is (it may already be camel case);
// otherwise the first word is lower-cased and every later word capitalised
// (first letter upper, the rest lower). Runs of underscores count as one.
std::string convertFromSnakeCase(std::string_view key);

// "firstName" → "first_name", "myURLValue" → "my_url_value": a new word starts
// at each upper-case letter after the first character; in a run of capitals
// followed by a lower-case letter the last capital starts the next word.
// Words are lower-cased and joined with underscores. Like the mobile coders
// this mirrors, a key that starts with capitals splits after its first
// letter ("URLValue" → "u_rl_value"); the library's keys are lower camel case.
std::string convertToSnakeCase(std::string_view key);

}  // namespace ovira

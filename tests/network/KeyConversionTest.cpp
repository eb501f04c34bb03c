#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "network/KeyConversion.h"

namespace ovira {
namespace {

using Conversions = std::vector<std::pair<std::string, std::string>>;

TEST(KeyConversionTest, FromSnakeCase) {
    // clang-format off
    for (const auto& [input, expected] : Conversions{
             // Words: the first lower-cased, every later one capitalised.
             {"first_name", "firstName"}, {"date_of_birth", "dateOfBirth"}, {"a_b_c", "aBC"},
             {"ALL_CAPS", "allCaps"}, {"Mixed_CASE_words", "mixedCaseWords"}, {"oNE_tWO", "oneTwo"},
             {"address_line_1", "addressLine1"}, {"mrz_line2_text", "mrzLine2Text"},
             {"photo_front_v2", "photoFrontV2"}, {"utf8", "utf8"},
             // Without inner underscores a key may already be camel case: it stays as it is.
             {"statusCode", "statusCode"}, {"URL", "URL"}, {"X", "X"}, {"_camelCase_", "_camelCase_"},
             {"__ALLCAPS", "__ALLCAPS"}, {"ID", "ID"},
             // Leading and trailing underscores are kept; inner runs count as one.
             {"__snake_case__", "__snakeCase__"}, {"_leading_word", "_leadingWord"}, {"one__two", "oneTwo"},
             {"trailing_word_", "trailingWord_"}, {"one___two____three", "oneTwoThree"}, {"_", "_"},
             {"___", "___"}, {"_a_", "_a_"}, {"a_", "a_"}, {"_a", "_a"}, {"", ""}}) {
        // clang-format on
        EXPECT_EQ(convertFromSnakeCase(input), expected) << '"' << input << '"';
    }
}

TEST(KeyConversionTest, ToSnakeCase) {
    // clang-format off
    for (const auto& [input, expected] : Conversions{
             {"firstName", "first_name"}, {"dateOfBirth", "date_of_birth"}, {"aBC", "a_bc"}, {"aB", "a_b"},
             {"message", "message"}, {"already_snake", "already_snake"}, {"FirstName", "first_name"},
             // A run of capitals is one word; before a lower-case letter its last capital starts the next.
             {"myURLValue", "my_url_value"}, {"photoURL", "photo_url"}, {"isHTTPSOnly", "is_https_only"},
             {"partCAPSLowerAGAIN", "part_caps_lower_again"}, {"myID", "my_id"},
             {"userIDNumber", "user_id_number"},
             {"URLValue", "u_rl_value"},  // as the mobile coders do: split after the first letter
             // Underscores are kept as they are; digits belong to the word before them.
             {"_oneTwoThree_", "_one_two_three_"}, {"_leadingCamel", "_leading_camel"},
             {"__private", "__private"}, {"trailingCamel__", "trailing_camel__"},
             {"runOf__Underscores", "run_of___underscores"}, {"__", "__"}, {"addressLine1", "address_line1"},
             {"line1Text", "line1_text"}, {"v2Beta", "v2_beta"}, {"abc123DEF", "abc123_def"},
             {"A", "a"}, {"a", "a"}, {"1", "1"}, {"_", "_"}, {"", ""}}) {
        // clang-format on
        EXPECT_EQ(convertToSnakeCase(input), expected) << '"' << input << '"';
    }
    for (const char* key : {"firstName", "addressLine1", "_oneTwoThree_", "__snakeCase__"}) {
        EXPECT_EQ(convertFromSnakeCase(convertToSnakeCase(key)), key);
    }
    // Acronyms do not survive the round trip.
    EXPECT_EQ(convertFromSnakeCase(convertToSnakeCase("myURLValue")), "myUrlValue");
}

}  // namespace
}  // namespace ovira

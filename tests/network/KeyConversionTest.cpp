#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "network/KeyConversion.h"

namespace ovira {
namespace {

struct Conversion {
    std::string input;
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const Conversion& c) {
    return out << '"' << c.input << '"';
}

// ---- from snake case ----

class FromSnakeCaseTest : public testing::TestWithParam<Conversion> {};

TEST_P(FromSnakeCaseTest, Converts) {
    EXPECT_EQ(convertFromSnakeCase(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Words, FromSnakeCaseTest,
                         testing::Values(Conversion{"first_name", "firstName"},
                                         Conversion{"date_of_birth", "dateOfBirth"},
                                         Conversion{"a_b_c", "aBC"}, Conversion{"ALL_CAPS", "allCaps"},
                                         Conversion{"Mixed_CASE_words", "mixedCaseWords"},
                                         Conversion{"oNE_tWO", "oneTwo"}));

INSTANTIATE_TEST_SUITE_P(KeysWithoutInnerUnderscoresStayAsTheyAre, FromSnakeCaseTest,
                         testing::Values(Conversion{"statusCode", "statusCode"},
                                         Conversion{"message", "message"}, Conversion{"URL", "URL"},
                                         Conversion{"ID", "ID"}, Conversion{"x", "x"}, Conversion{"X", "X"},
                                         Conversion{"_camelCase_", "_camelCase_"},
                                         Conversion{"__ALLCAPS", "__ALLCAPS"}));

INSTANTIATE_TEST_SUITE_P(Underscores, FromSnakeCaseTest,
                         testing::Values(Conversion{"__snake_case__", "__snakeCase__"},
                                         Conversion{"_leading_word", "_leadingWord"},
                                         Conversion{"trailing_word_", "trailingWord_"},
                                         Conversion{"one__two", "oneTwo"},
                                         Conversion{"one___two____three", "oneTwoThree"},
                                         Conversion{"_", "_"}, Conversion{"___", "___"},
                                         Conversion{"_a_", "_a_"}, Conversion{"a_", "a_"},
                                         Conversion{"_a", "_a"}, Conversion{"", ""}));

INSTANTIATE_TEST_SUITE_P(Digits, FromSnakeCaseTest,
                         testing::Values(Conversion{"address_line_1", "addressLine1"},
                                         Conversion{"version_2_beta", "version2Beta"},
                                         Conversion{"photo_front_v2", "photoFrontV2"},
                                         Conversion{"mrz_line2_text", "mrzLine2Text"},
                                         Conversion{"utf8", "utf8"}));

// ---- to snake case ----

class ToSnakeCaseTest : public testing::TestWithParam<Conversion> {};

TEST_P(ToSnakeCaseTest, Converts) {
    EXPECT_EQ(convertToSnakeCase(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ToSnakeCaseTest,
    testing::Values(Conversion{"firstName", "first_name"}, Conversion{"dateOfBirth", "date_of_birth"},
                    Conversion{"aBC", "a_bc"}, Conversion{"statusCode", "status_code"},
                    Conversion{"message", "message"}, Conversion{"already_snake", "already_snake"},
                    Conversion{"Value", "value"}, Conversion{"FirstName", "first_name"}));

INSTANTIATE_TEST_SUITE_P(Acronyms, ToSnakeCaseTest,
                         testing::Values(Conversion{"myURLValue", "my_url_value"},
                                         Conversion{"partCAPSLowerAGAIN", "part_caps_lower_again"},
                                         Conversion{"myID", "my_id"},
                                         Conversion{"userIDNumber", "user_id_number"},
                                         Conversion{"photoURL", "photo_url"}, Conversion{"aB", "a_b"},
                                         Conversion{"isHTTPSOnly", "is_https_only"}));

INSTANTIATE_TEST_SUITE_P(Underscores, ToSnakeCaseTest,
                         testing::Values(Conversion{"_oneTwoThree_", "_one_two_three_"},
                                         Conversion{"__private", "__private"},
                                         Conversion{"_leadingCamel", "_leading_camel"},
                                         Conversion{"trailingCamel__", "trailing_camel__"},
                                         Conversion{"runOf__Underscores", "run_of___underscores"},
                                         Conversion{"_", "_"}, Conversion{"__", "__"}));

INSTANTIATE_TEST_SUITE_P(DigitsAndSingleCharacters, ToSnakeCaseTest,
                         testing::Values(Conversion{"addressLine1", "address_line1"},
                                         Conversion{"line1Text", "line1_text"},
                                         Conversion{"v2Beta", "v2_beta"},
                                         Conversion{"abc123DEF", "abc123_def"},
                                         Conversion{"mrz2Lines", "mrz2_lines"}, Conversion{"a", "a"},
                                         Conversion{"A", "a"}, Conversion{"1", "1"}, Conversion{"", ""}));

// ---- the pair ----

TEST(KeyConversionRoundTripTest, CamelCaseKeysOfPlainWordsSurviveTheRoundTrip) {
    for (const char* key : {"firstName", "dateOfBirth", "statusCode", "placeOfOrigin", "addressLine1",
                            "message", "_oneTwoThree_", "__snakeCase__"}) {
        EXPECT_EQ(convertFromSnakeCase(convertToSnakeCase(key)), key) << key;
    }
    // Acronyms do not: their capitals become one word.
    EXPECT_EQ(convertFromSnakeCase(convertToSnakeCase("myURLValue")), "myUrlValue");
}

}  // namespace
}  // namespace ovira

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ovira/EKYCAPIErrorCode.h"
#include "ovira/EKYCHTTPMethod.h"
#include "ovira/EKYCHTTPStatusCode.h"

namespace ovira {
namespace {

using ResponseType = EKYCHTTPStatusCode::ResponseType;

// ---- EKYCHTTPMethod ----

const std::vector<std::pair<EKYCHTTPMethod, std::string>> kMethods{
    {EKYCHTTPMethod::get, "GET"},         {EKYCHTTPMethod::put, "PUT"},
    {EKYCHTTPMethod::post, "POST"},       {EKYCHTTPMethod::patch, "PATCH"},
    {EKYCHTTPMethod::delete_, "DELETE"},  {EKYCHTTPMethod::head, "HEAD"},
    {EKYCHTTPMethod::options, "OPTIONS"}, {EKYCHTTPMethod::trace, "TRACE"},
    {EKYCHTTPMethod::connect, "CONNECT"},
};

TEST(EKYCHTTPMethodTest, RawValuesAreTheUpperCaseRequestLineNames) {
    for (const auto& [method, name] : kMethods) {
        EXPECT_EQ(rawValue(method), name);
    }
}

TEST(EKYCHTTPMethodTest, ParsingAcceptsExactlyTheNineNames) {
    for (const auto& [method, name] : kMethods) {
        const auto parsed = EKYCHTTPMethodFromRawValue(name);
        ASSERT_TRUE(parsed.has_value()) << name;
        EXPECT_EQ(*parsed, method) << name;
    }
}

TEST(EKYCHTTPMethodTest, ParsingIsCaseSensitiveAndExact) {
    for (const char* text : {"get", "Get", "gET", "post", "Delete", "delete", "GET ", " GET", "GETS", "GE",
                             "", "DELETE_", "PURGE", "LINK"}) {
        EXPECT_FALSE(EKYCHTTPMethodFromRawValue(text).has_value()) << '"' << text << '"';
    }
    // A name followed by a NUL byte is not the name.
    EXPECT_FALSE(EKYCHTTPMethodFromRawValue(std::string_view("GET\0", 4)).has_value());
}

// ---- EKYCHTTPStatusCode ----

// The known statuses, written out independently of the implementation's table.
std::set<int> knownStatusNumbers() {
    std::set<int> numbers{100, 101, 102, 226, 421, 422, 423, 424, 426, 428,
                          429, 431, 444, 451, 495, 496, 497, 499, 510, 511};
    for (int n = 200; n <= 208; ++n) numbers.insert(n);
    for (int n = 300; n <= 308; ++n) numbers.insert(n);
    for (int n = 400; n <= 418; ++n) numbers.insert(n);
    for (int n = 500; n <= 508; ++n) numbers.insert(n);
    return numbers;
}

TEST(EKYCHTTPStatusCodeTest, ThereAreExactly66DistinctCasesMatchingTheKnownNumbers) {
    const auto expected = knownStatusNumbers();
    ASSERT_EQ(expected.size(), 66u);

    const auto& all = EKYCHTTPStatusCode::allCases();
    ASSERT_EQ(all.size(), 66u);
    std::set<int> listed;
    for (auto code : all) listed.insert(static_cast<int>(code));
    EXPECT_EQ(listed, expected);
}

TEST(EKYCHTTPStatusCodeTest, FromRawValueYieldsACaseOnlyForTheKnownNumbers) {
    const auto expected = knownStatusNumbers();
    std::set<int> accepted;
    for (int n = -1100; n <= 1100; ++n) {
        const auto status = EKYCHTTPStatusCode::fromRawValue(n);
        if (!status) continue;
        EXPECT_EQ(status->rawValue(), n);
        accepted.insert(n);
    }
    EXPECT_EQ(accepted, expected);
    EXPECT_FALSE(EKYCHTTPStatusCode::fromRawValue(INT_MIN).has_value());
    EXPECT_FALSE(EKYCHTTPStatusCode::fromRawValue(INT_MAX).has_value());
}

TEST(EKYCHTTPStatusCodeTest, MembershipAtTheNotableNumbers) {
    EXPECT_TRUE(EKYCHTTPStatusCode::fromRawValue(418).has_value());
    EXPECT_EQ(EKYCHTTPStatusCode::fromRawValue(418)->code(), EKYCHTTPStatusCode::imATeapot);
    for (int missing : {0, 99, 103, 209, 225, 309, 419, 420, 425, 427, 430, 450, 498, 509, 512, 599, 600}) {
        EXPECT_FALSE(EKYCHTTPStatusCode::fromRawValue(missing).has_value()) << missing;
    }
}

TEST(EKYCHTTPStatusCodeTest, CaseNamesCarryTheirNumbers) {
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::continue_).rawValue(), 100);
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::ok).rawValue(), 200);
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::imUsed).rawValue(), 226);
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::permanentRedirect).rawValue(), 308);
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::unauthorized).rawValue(), 401);
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::unavailableForLegalReasons).rawValue(), 451);
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::clientClosedRequest).rawValue(), 499);
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::networkAuthenticationRequired).rawValue(), 511);
}

TEST(EKYCHTTPStatusCodeTest, ResponseTypeOfNumbersAtTheClassBoundaries) {
    const std::vector<std::pair<int, ResponseType>> cases{
        {INT_MIN, ResponseType::undefined}, {-200, ResponseType::undefined},
        {0, ResponseType::undefined},       {99, ResponseType::undefined},
        {100, ResponseType::informational}, {199, ResponseType::informational},
        {200, ResponseType::success},       {299, ResponseType::success},
        {300, ResponseType::redirection},   {399, ResponseType::redirection},
        {400, ResponseType::clientError},   {499, ResponseType::clientError},
        {500, ResponseType::serverError},   {599, ResponseType::serverError},
        {600, ResponseType::undefined},     {INT_MAX, ResponseType::undefined},
    };
    for (const auto& [number, type] : cases) {
        EXPECT_EQ(EKYCHTTPStatusCode::responseTypeOf(number), type) << number;
    }
}

TEST(EKYCHTTPStatusCodeTest, ResponseTypeOfCases) {
    auto typeOf = [](int n) { return EKYCHTTPStatusCode::fromRawValue(n)->responseType(); };
    EXPECT_EQ(typeOf(100), ResponseType::informational);
    EXPECT_EQ(typeOf(102), ResponseType::informational);
    EXPECT_EQ(typeOf(200), ResponseType::success);
    EXPECT_EQ(typeOf(226), ResponseType::success);
    EXPECT_EQ(typeOf(300), ResponseType::redirection);
    EXPECT_EQ(typeOf(308), ResponseType::redirection);
    EXPECT_EQ(typeOf(400), ResponseType::clientError);
    EXPECT_EQ(typeOf(451), ResponseType::clientError);
    EXPECT_EQ(typeOf(499), ResponseType::clientError);
    EXPECT_EQ(typeOf(500), ResponseType::serverError);
    EXPECT_EQ(typeOf(511), ResponseType::serverError);

    // Every case lands in the class of its hundreds digit, never "undefined".
    for (auto code : EKYCHTTPStatusCode::allCases()) {
        const int n = static_cast<int>(code);
        EXPECT_EQ(static_cast<int>(EKYCHTTPStatusCode(code).responseType()), n / 100 - 1) << n;
    }
}

TEST(EKYCHTTPStatusCodeTest, AsAnErrorItHasItsDomainAndAGenericDescription) {
    EXPECT_STREQ(EKYCHTTPStatusCode::errorDomain, "OVIRA.EKYCHTTPStatusCode");
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::notFound).localizedDescription(),
              "The operation couldn\u2019t be completed. (OVIRA.EKYCHTTPStatusCode error 404.)");
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::continue_).localizedDescription(),
              "The operation couldn\u2019t be completed. (OVIRA.EKYCHTTPStatusCode error 100.)");
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::networkAuthenticationRequired).localizedDescription(),
              "The operation couldn\u2019t be completed. (OVIRA.EKYCHTTPStatusCode error 511.)");
}

TEST(EKYCHTTPStatusCodeTest, EqualityComparesTheNumber) {
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::unauthorized), *EKYCHTTPStatusCode::fromRawValue(401));
    EXPECT_FALSE(EKYCHTTPStatusCode(EKYCHTTPStatusCode::unauthorized) ==
                 EKYCHTTPStatusCode(EKYCHTTPStatusCode::forbidden));
}

// ---- ResponseType ----

TEST(ResponseTypeTest, RawValuesAreZeroToFiveInOrder) {
    const std::vector<std::pair<int, ResponseType>> cases{
        {0, ResponseType::informational}, {1, ResponseType::success},     {2, ResponseType::redirection},
        {3, ResponseType::clientError},   {4, ResponseType::serverError}, {5, ResponseType::undefined},
    };
    for (const auto& [raw, type] : cases) {
        EXPECT_EQ(static_cast<int>(type), raw);
        const auto parsed = ResponseTypeFromRawValue(raw);
        ASSERT_TRUE(parsed.has_value()) << raw;
        EXPECT_EQ(*parsed, type);
    }
}

TEST(ResponseTypeTest, ParsingRefusesNumbersOutsideZeroToFive) {
    for (int raw : {-1, 6, 100, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(ResponseTypeFromRawValue(raw).has_value()) << raw;
    }
}

// ---- EKYCAPIErrorCode ----

const std::vector<std::pair<EKYCAPIErrorCode, int>> kErrorCodes{
    {EKYCAPIErrorCode::urlNil, -900},           {EKYCAPIErrorCode::httpBodyNil, -901},
    {EKYCAPIErrorCode::indexOutOfBounce, -902}, {EKYCAPIErrorCode::noStatusCode, -903},
    {EKYCAPIErrorCode::noReturnData, -904},     {EKYCAPIErrorCode::decodeReceivedDataFail, -905},
    {EKYCAPIErrorCode::response, -906},         {EKYCAPIErrorCode::unknow, -1000},
};

TEST(EKYCAPIErrorCodeTest, RawValuesAndParsingOfTheEightCodes) {
    for (const auto& [code, raw] : kErrorCodes) {
        EXPECT_EQ(static_cast<int>(code), raw);
        const auto parsed = EKYCAPIErrorCodeFromRawValue(raw);
        ASSERT_TRUE(parsed.has_value()) << raw;
        EXPECT_EQ(*parsed, code);
    }
}

TEST(EKYCAPIErrorCodeTest, ParsingRefusesEveryOtherNumber) {
    int accepted = 0;
    for (int raw = -2000; raw <= 1000; ++raw) {
        if (EKYCAPIErrorCodeFromRawValue(raw)) ++accepted;
    }
    EXPECT_EQ(accepted, 8);
    for (int raw : {-899, -907, -999, -1001, -1009, 0, 200, 906, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(EKYCAPIErrorCodeFromRawValue(raw).has_value()) << raw;
    }
}

}  // namespace
}  // namespace ovira

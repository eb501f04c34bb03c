#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ovira/EKYCAPIErrorCode.h"
#include "ovira/EKYCHTTPMethod.h"
#include "ovira/EKYCHTTPStatusCode.h"

namespace ovira {
namespace {

using ResponseType = EKYCHTTPStatusCode::ResponseType;

TEST(EKYCHTTPMethodTest, EachNameParsesToAMethodOfThatNameAndNothingElseParses) {
    for (auto name : {"GET", "PUT", "POST", "PATCH", "DELETE", "HEAD", "OPTIONS", "TRACE", "CONNECT"}) {
        const auto method = EKYCHTTPMethodFromRawValue(name);
        EXPECT_TRUE(method && rawValue(*method) == name) << name;
    }
    EXPECT_EQ(rawValue(EKYCHTTPMethod::delete_), "DELETE");
    for (const char* text : {"get", "Delete", "GET ", " GET", "GE", "", "DELETE_", "PURGE"}) {
        EXPECT_FALSE(EKYCHTTPMethodFromRawValue(text)) << text;
    }
    EXPECT_FALSE(EKYCHTTPMethodFromRawValue(std::string_view("GET\0", 4)));
}

TEST(EKYCHTTPStatusCodeTest, ExactlyTheSixtySixKnownNumbersAreStatusCodes) {
    const std::set<int> known{100, 101, 102, 200, 201, 202, 203, 204, 205, 206, 207, 208, 226, 300,
                              301, 302, 303, 304, 305, 306, 307, 308, 400, 401, 402, 403, 404, 405,
                              406, 407, 408, 409, 410, 411, 412, 413, 414, 415, 416, 417, 418, 421,
                              422, 423, 424, 426, 428, 429, 431, 444, 451, 495, 496, 497, 499, 500,
                              501, 502, 503, 504, 505, 506, 507, 508, 510, 511};
    std::set<int> listed, accepted;
    for (auto code : EKYCHTTPStatusCode::allCases()) listed.insert(code);
    for (int n = -1100; n <= 1100; ++n) {
        if (const auto status = EKYCHTTPStatusCode::fromRawValue(n)) accepted.insert(status->rawValue());
    }
    EXPECT_EQ(listed, known);
    EXPECT_EQ(accepted, known);
    EXPECT_EQ(EKYCHTTPStatusCode(EKYCHTTPStatusCode::notFound).localizedDescription(),
              "The operation couldn\u2019t be completed. (OVIRA.EKYCHTTPStatusCode error 404.)");
}

TEST(EKYCHTTPStatusCodeTest, TheResponseTypeIsTheClassOfTheHundreds) {
    using enum EKYCHTTPStatusCode::ResponseType;
    // clang-format off
    for (const auto& [number, type] : std::vector<std::pair<int, ResponseType>>{
             {99, undefined}, {100, informational}, {199, informational}, {200, success}, {299, success},
             {300, redirection}, {399, redirection}, {400, clientError}, {499, clientError},
             {500, serverError}, {599, serverError}, {600, undefined}}) {
        // clang-format on
        EXPECT_EQ(EKYCHTTPStatusCode::responseTypeOf(number), type) << number;
    }
    const ResponseType inOrder[]{informational, success, redirection, clientError, serverError, undefined};
    for (int raw = 0; raw <= 5; ++raw) EXPECT_EQ(ResponseTypeFromRawValue(raw), inOrder[raw]);
    EXPECT_FALSE(ResponseTypeFromRawValue(-1) || ResponseTypeFromRawValue(6));
}

TEST(EKYCAPIErrorCodeTest, OnlyTheEightCodesParseEachToItself) {
    std::set<int> accepted;
    for (int raw = -2000; raw <= 1000; ++raw) {
        const auto code = EKYCAPIErrorCodeFromRawValue(raw);
        if (code) accepted.insert(raw);
        EXPECT_TRUE(!code || static_cast<int>(*code) == raw) << raw;
    }
    EXPECT_EQ(accepted, (std::set<int>{-1000, -906, -905, -904, -903, -902, -901, -900}));
}

}  // namespace
}  // namespace ovira

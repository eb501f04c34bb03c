#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <nlohmann/json.hpp>
#include <tuple>

#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/JSONDecoder.h"
#include "ovira/JSONEncoder.h"

namespace ovira {
namespace {

using Kind = DecodingError::Kind;
using Path = std::vector<std::string>;

// Two-word keys at the root and in objects inside an array.
struct Address {
    std::string cityName;
    std::optional<std::string> zipCode;  // left out when absent
    std::vector<Address> pastAddresses;
    static Address decode(const DecodingValue& v) {
        return {v.decode<std::string>("cityName"), v.decodeIfPresent<std::string>("zipCode"),
                v.decodeIfPresent<std::vector<Address>>("pastAddresses").value_or(std::vector<Address>{})};
    }
    void encode(EncodingValue& v) const {
        v.encode("cityName", cityName);
        v.encodeIfPresent("zipCode", zipCode);
        if (!pastAddresses.empty()) v.encode("pastAddresses", pastAddresses);
    }
    friend bool operator==(const Address&, const Address&) = default;
};

template <class Error = DecodingError, class Body>
std::optional<Error> thrown(Body&& body) try {
    body();
    return std::nullopt;
} catch (const Error& error) {
    return error;
}

// The test fails (bad_optional_access) when the text decodes.
template <class T>
DecodingError decodeError(std::string_view text, const JSONDecoder& decoder = JSONDecoder()) {
    return thrown([&] { decoder.decode<T>(text); }).value();
}

template <class T>
void expectDecoding(std::initializer_list<const char*> accepted, std::initializer_list<const char*> refused,
                    Kind kind = Kind::dataCorrupted) {
    for (const char* text : accepted) EXPECT_NO_THROW(JSONDecoder().decode<T>(text)) << text;
    for (const char* text : refused) EXPECT_EQ(decodeError<T>(text).kind(), kind) << text;
}

const auto asText = [](const Data& data) { return std::string(asStringView(data)); };
const auto unixSeconds = [](std::int64_t seconds) { return Date(std::chrono::seconds(seconds)); };

// POSIX TZ rules need no time zone database.
void setTimeZone(const char* zone) {
    zone ? setenv("TZ", zone, 1) : unsetenv("TZ");
    tzset();
}
struct ScopedTimeZone {  // until the end of the scope
    std::string saved = getenv("TZ") ? getenv("TZ") : "";
    explicit ScopedTimeZone(const char* zone) { setTimeZone(zone); }
    ~ScopedTimeZone() { setTimeZone(saved.empty() ? nullptr : saved.c_str()); }
};

const auto nestedArrays = [](std::size_t n) { return std::string(n, '[') + std::string(n, ']'); };
std::string nestedObjects(std::size_t levels) {
    std::string text;
    for (std::size_t i = 0; i < levels; ++i) text += R"({"a":)";
    return text + "null" + std::string(levels, '}');
}

TEST(SharedCodersTest, ConvertKeysAtEveryLevelWhilePlainCodersKeepThem) {
    const Address address{"1 Hàng Bài", "100000", {{"2 Tràng Tiền", std::nullopt, {}}}};
    const std::string snake = R"({"city_name":"1 Hàng Bài","past_addresses":[{"city_name":"2 Tràng Tiền"}],)"
                              R"("zip_code":"100000"})";
    EXPECT_EQ(asText(JSONEncoder::shared()->encode(address)), snake);
    EXPECT_EQ(JSONDecoder::shared()->decode<Address>(makeData(snake)), address);
    EXPECT_EQ(JSONDecoder::shared()->decode<Address>(R"({"cityName":"a","zipCode":null})"),
              (Address{"a", std::nullopt, {}}));
    EXPECT_EQ(asText(JSONEncoder().encode(address.pastAddresses)), R"([{"cityName":"2 Tràng Tiền"}])");
    EXPECT_EQ(decodeError<Address>(R"({"city_name":"a"})").kind(), Kind::keyNotFound);
}

TEST(SharedCodersTest, AreReplaceableButNotByNull) {
    const auto decoder = JSONDecoder::shared();
    const auto encoder = JSONEncoder::shared();
    JSONDecoder::setShared(std::make_shared<const JSONDecoder>());
    JSONEncoder::setShared(std::make_shared<const JSONEncoder>());
    JSONDecoder::setShared(nullptr);
    JSONEncoder::setShared(nullptr);
    const bool replaced = JSONDecoder::shared() && JSONDecoder::shared() != decoder &&
                          JSONEncoder::shared() && JSONEncoder::shared() != encoder;
    JSONDecoder::setShared(decoder);
    JSONEncoder::setShared(encoder);
    EXPECT_TRUE(replaced);
}

TEST(DecodingTest, EachTypeAcceptsOnlyItsOwnValues) {
    const Kind mismatch = Kind::typeMismatch;
    expectDecoding<std::string>({R"("")"}, {"1", "true", "[]"}, mismatch);
    expectDecoding<bool>({"false"}, {"1", R"("true")"}, mismatch);
    expectDecoding<double>({"3", "-2.5e-3"}, {R"("1.5")"}, mismatch);
    expectDecoding<std::vector<int>>({"[]", "[1.0]"}, {"{}", R"([1,"x"])"}, mismatch);
    expectDecoding<Address>({R"({"cityName":""})"}, {"[]"}, mismatch);
    expectDecoding<std::optional<int>>({"null", "5"}, {R"("5")"}, mismatch);
    expectDecoding<int>({"1.0", "1e2", "-0.0"}, {R"("1")", "true"}, mismatch);
    expectDecoding<int>({}, {"1.5", "-0.25", "1e-1", "1e30", "100000000000000000000"});
    expectDecoding<std::int8_t>({"-128", "127"}, {"-129", "128"});
    expectDecoding<std::int32_t>({"-2147483648", "2147483647"}, {"-2147483649", "2147483648"});
    expectDecoding<std::int64_t>({"-9223372036854775808", "9223372036854775807"}, {"9223372036854775808"});
    expectDecoding<std::uint8_t>({"0", "255"}, {"-1", "256"});
    expectDecoding<std::uint32_t>({"4294967295"}, {"4294967296"});
    expectDecoding<std::uint64_t>({"9223372036854775807"}, {"-1"});
    EXPECT_EQ(JSONDecoder().decode<std::vector<int>>("[1e2,-0.0,7]"), (std::vector<int>{100, 0, 7}));
}

TEST(DecodingTest, ErrorsNameTheirKindAndThePathToTheFailingValue) {
    // clang-format off
    for (const auto& [text, what] : std::vector<std::pair<std::string, std::string>>{
             {R"({"cityName":null})",
              "valueNotFound at cityName: Expected String value but found null instead."},
             {R"({"city_name":"","past_addresses":[{"city_name":""},{"city_name":"","zip_code":1}]})",
              "typeMismatch at pastAddresses.1.zipCode: Expected to decode String but found number instead."},
             {R"({"zipCode":"1"})", R"(keyNotFound: No value associated with key "cityName".)"}}) {
        // clang-format on
        const auto error = decodeError<Address>(text, *JSONDecoder::shared());
        EXPECT_EQ(error.what(), what);
        EXPECT_EQ(error.redactedDescription(), what);  // quotes no input
    }
    // Decode functions that read the JSON themselves fail the same way.
    const auto direct = [](const DecodingValue& v) { (void)v.json().at("missing").get<int>(); };
    EXPECT_EQ(thrown([&] { JSONDecoder().decodeRoot("{}", direct); }).value().kind(), Kind::dataCorrupted);
    EXPECT_STREQ(EncodingError({"a", "0"}, "Bad.").what(), "invalidValue at a.0: Bad.");
}

TEST(MalformedInputTest, InvalidJSONInvalidUTF8AndNestingBeyond64LevelsAreDataCorrupted) {
    // clang-format off
    for (const std::string& text : std::vector<std::string>{
             "", " ", "{", R"({"a":})", "nul", "{} x", "[1,]", "{'a':1}", "01", "NaN", "1e400", "\"open",
             R"("\q")", R"("\ud800")", "\"\xFF\"", "\"\xC0\xAF\"", "\"\xED\xA0\x80\"", "\"\xE2\x82\"",
             "\"\xF4\x90\x80\x80\"", "{\"\xFE\":1}", nestedArrays(65), nestedObjects(65),
             R"(["a\nb\"c",)" + nestedArrays(64) + "]", nestedArrays(100000), nestedObjects(100000),
             std::string(100000, '[')}) {
        // clang-format on
        const auto error = decodeError<EKYCVoidResponse>(text, *JSONDecoder::shared());
        EXPECT_TRUE(error.kind() == Kind::dataCorrupted && error.codingPath().empty()) << text.substr(0, 80);
        EXPECT_EQ(error.debugDescription().rfind("The given data was not valid JSON", 0), 0u) << error.what();
    }
    EXPECT_EQ(JSONDecoder().decode<std::string>(R"("Đ\u00e9\ud83d\ude00")"), "Đé\xF0\x9F\x98\x80");
}

TEST(MalformedInputTest, SixtyFourLevelsDecodeAndNeitherStringsNorClosedSiblingsCount) {
    EXPECT_NO_THROW(JSONDecoder::shared()->decode<EKYCVoidResponse>(nestedArrays(64)));
    EXPECT_NO_THROW(JSONDecoder::shared()->decode<EKYCVoidResponse>(nestedObjects(64)));
    std::string wide = "[" + nestedArrays(63);
    for (int i = 0; i < 1000; ++i) wide += "," + nestedArrays(63);
    EXPECT_NO_THROW(JSONDecoder().decode<EKYCVoidResponse>(wide + "]"));
    // An escaped quote does not end a string, an escaped backslash does not escape the closing quote.
    const std::string b(200, '['), text = R"([")" + b + R"(\"{{)" + b + R"(\\",")" + b + R"("])";
    const std::vector<std::string> strings{b + "\"{{" + b + "\\", b};
    EXPECT_EQ(JSONDecoder().decode<std::vector<std::string>>(text), strings);
}

TEST(DateTest, SecondsSince2001ByDefaultFourteenDigitsOfLocalTimeForTheService) {
    EXPECT_EQ(JSONDecoder().decode<Date>("1.5"), unixSeconds(978307201) + std::chrono::milliseconds(500));
    EXPECT_EQ(JSONDecoder().decode<Date>("-978307200"), unixSeconds(0));
    EXPECT_EQ(asText(JSONEncoder().encode(unixSeconds(978307200) + std::chrono::milliseconds(1500))), "1.5");
    EXPECT_EQ(asText(JSONEncoder().encode(unixSeconds(978307190))), "-10.0");
    // Numbers beyond what a Date holds (72584632584639999.5 came from the fuzzer).
    expectDecoding<Date>({"8e9", "-8e9"}, {"9.3e9", "-1.1e10", "72584632584639999.5", "-1e308"});
    const JSONDecoder decoder{.dateDecodingStrategy = decodeServiceDate};
    const JSONEncoder encoder{
        .dateEncodingStrategy = [](Date date, auto& v) { v.encodeString(formatServiceDate(date)); }};
    const char* const cet = "CET-1CEST,M3.5.0,M10.5.0/3";  // UTC+1, in summer UTC+2
    // clang-format off
    for (const auto& [tz, text, unix] : std::vector<std::tuple<const char*, std::string, std::int64_t>>{
             {"ICT-7", "20240131235959", 1706720399}, {"EST5", "20240131235959", 1706763599},
             {cet, "20240131235959", 1706741999}, {cet, "20240701120000", 1719828000},
             {"UTC0", "20240229120000", 1709208000}, {"UTC0", "20000229000000", 951782400},
             {"UTC0", "19691231235959", -1}, {"UTC0", "20241231235959", 1735689599}}) {
        // clang-format on
        ScopedTimeZone zone(tz);
        const Date date = decoder.decode<Date>('"' + text + '"');
        EXPECT_EQ(date, unixSeconds(unix)) << tz << ' ' << text;
        EXPECT_EQ(asText(encoder.encode(date)), '"' + text + '"') << tz;
    }
    ScopedTimeZone zone("ICT-7");
    // The last three are years a Date cannot hold (60240131235959 came from the fuzzer).
    for (const std::string text :
         {"1990-05-17",     "2024-01-31 23:59:59", "2024-01-31T23:59:59", "20240230000000", "20230229120000",
          "19000229000000", "20241301000000",      "20240001000000",      "20240100000000", "20240431000000",
          "20240131240000", "20240131126000",      "20240131125960",      "2024013123595",  "202401312359590",
          "2024013123595a", "2024013112-100",      " 20240131235959",     "+2024013123595", "",
          "60240131235959", "99991231235959",      "16000101000000"}) {
        const auto error = decodeError<Date>('"' + text + '"', decoder);
        EXPECT_EQ(error.what(), "dataCorrupted: Invalid date: " + text);
        EXPECT_EQ(error.redactedDescription(), "dataCorrupted");
        EXPECT_FALSE(parseServiceDate(text).has_value()) << text;
    }
    EXPECT_EQ(decodeError<Date>("20240131235959", decoder).kind(), Kind::typeMismatch);
}

TEST(EncodingTest, ValuesAndText) {
    const JSONEncoder encoder;
    EXPECT_EQ(asText(encoder.encode(std::string("Đ\xF0\x9F\x98\x80 \"\n\\\x01"))), R"("Đ😀 \"\n\\\u0001")");
    EXPECT_EQ(asText(encoder.encode(std::vector<std::optional<double>>{12.5, std::nullopt})), "[12.5,null]");
    EXPECT_EQ(asText(encoder.encode(std::vector<int>{})), "[]");
    EXPECT_EQ(asText(encoder.encode(std::uint64_t{9223372036854775807ULL})), "9223372036854775807");
}

TEST(EncodingTest, InvalidValuesFailWithTheirPathInTheCallersKeys) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    // clang-format off
    std::vector<std::tuple<std::function<void(EncodingValue&)>, Path, std::string>> cases{
        {[=](auto& v) { v.encode(nan); }, {}, "Unable to encode "},
        {[=](auto& v) { v.encode(-infinity); }, {}, "Unable to encode "},
        {[=](auto& v) { v.encode("lapMs", std::vector{1.0, infinity}); }, {"lapMs", "1"}, "Unable"},
        {[](auto& v) { v.encode(Address{"ok", "\x80", {}}); }, {"zipCode"}, "String is not valid UTF-8."},
        {[](auto& v) { v.encode(std::string_view("\xFF"), 1); }, {}, "Key is not valid UTF-8."},
        {[](auto& v) { v.encode(std::uint64_t{1} << 63); }, {}, "Number 9223372036854775808 does not fit"}};
    // clang-format on
    for (const char* text : {"\xFF", "ab\xC3(", "\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\xF4\x90\x80\x80"})
        cases.emplace_back([=](auto& v) { v.encode(std::string(text)); }, Path{}, "String is not valid");
    for (const auto& [body, path, description] : cases) {
        const auto error =
            thrown<EncodingError>([&encode = body] { JSONEncoder::shared()->encodeRoot(encode); }).value();
        EXPECT_EQ(error.codingPath(), path) << description;
        EXPECT_EQ(error.debugDescription().rfind(description, 0), 0u) << error.what();
    }
}

}  // namespace
}  // namespace ovira

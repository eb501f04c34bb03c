#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <nlohmann/json.hpp>
#include <tuple>

#include "network/KeyConversion.h"
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

// ---- the service envelope ----
struct Person {
    std::string firstName;
    std::optional<std::string> idNumber;
    static Person decode(const DecodingValue& v) {
        return {v.decode<std::string>("firstName"), v.decodeIfPresent<std::string>("idNumber")};
    }
};

template <class T>
EKYCBaseApiResponse<T> decodeEnvelope(std::string_view text) {
    return JSONDecoder::shared()->decode<EKYCBaseApiResponse<T>>(text);
}

TEST(EnvelopeDecodingTest, ReadsTheThreeMembersAndIgnoresOthers) {
    const auto envelope = decodeEnvelope<Person>(R"({"status_code":0.0,"message":"OK","extra":[{}],"Data":1,)"
                                                 R"("data":{"first_name":"An","id_number":"079"}})");
    EXPECT_EQ(envelope.statusCode, 0);
    EXPECT_EQ(envelope.message, "OK");
    EXPECT_EQ(envelope.data.value().firstName + "/" + envelope.data.value().idNumber.value_or("-"), "An/079");
    for (const char* text : {"{}", R"({"statusCode":null,"data":null,"message":null})"}) {
        const auto empty = decodeEnvelope<Person>(text);
        EXPECT_FALSE(empty.statusCode || empty.data || empty.message) << text;
    }
    // A decoder that keeps the keys does not see a statusCode at all.
    EXPECT_FALSE(JSONDecoder().decode<EKYCBaseApiResponse<int>>(R"({"status_code":0})").statusCode);
    for (const char* text : {"{}", "[]", "0", "\"x\"", "null", R"({"a":[{"b":1}]})"}) {
        EXPECT_NO_THROW(JSONDecoder::shared()->decode<EKYCVoidResponse>(text)) << text;
    }
}

TEST(EnvelopeDecodingTest, AMemberOfTheWrongTypeFailsTheWholeEnvelope) {
    for (const auto& [text, kind, path] :
         std::vector<std::tuple<const char*, Kind, std::vector<std::string>>>{
             {R"({"statusCode":"0","data":{"firstName":"An"}})", Kind::typeMismatch, {"statusCode"}},
             {R"({"statusCode":true})", Kind::typeMismatch, {"statusCode"}},
             {R"({"statusCode":0.5})", Kind::dataCorrupted, {"statusCode"}},
             {R"({"statusCode":0,"message":42})", Kind::typeMismatch, {"message"}},
             {R"({"statusCode":0,"data":"An"})", Kind::typeMismatch, {"data"}},
             {R"({"statusCode":0,"data":{}})", Kind::keyNotFound, {"data"}},
             {R"({"statusCode":0,"data":{"firstName":null}})", Kind::valueNotFound, {"data", "firstName"}},
             {R"([{"statusCode":0}])", Kind::typeMismatch, {}}}) {
        const auto error = thrown<DecodingError>([input = text] { decodeEnvelope<Person>(input); });
        ASSERT_TRUE(error) << text;
        EXPECT_EQ(error->kind(), kind) << text;
        EXPECT_EQ(error->codingPath(), path) << text;
    }
}

TEST(EnvelopeValueTest, OnlyStatusZeroWithDataYieldsTheDataAnythingElseIsTheEnvelopeError) {
    using Text = std::optional<std::string>;
    const Text none;
    // The envelope, the error's code (none: success), its message, the data (the value or the error's
    // payload).
    using Row = std::tuple<const char*, std::optional<int>, Text, Text>;
    for (const auto& [text, code, message, data] : std::vector<Row>{
             {R"({"statusCode":0,"data":"x","message":"m"})", std::nullopt, none, "x"},
             {R"({"statusCode":0,"data":""})", std::nullopt, none, ""},  // empty, but present
             {R"({"statusCode":0,"data":null,"message":"Nothing found"})", 0, "Nothing found", none},
             {R"({"statusCode":0})", 0, none, none},
             {R"({"statusCode":2,"message":"Document expired","data":"An"})", 2, "Document expired", "An"},
             {R"({"statusCode":200,"data":"x"})", 200, none, "x"},  // the success marker is 0, not 200
             {"{}", -1000, none, none},
             {R"({"data":"x","message":"no marker"})", -1000, "no marker", "x"},
             {R"({"statusCode":-2147483648})", INT32_MIN, none, none},
             {R"({"statusCode":2147483648,"message":"big"})", -1000, "big", none},
             // Data that looks like an envelope is no response body: the envelope's message stands.
             {R"({"statusCode":3,"message":"outer","data":"{\"message\":\"inner\"}"})", 3, "outer",
              R"({"message":"inner"})"}}) {
        const auto envelope = decodeEnvelope<std::string>(text);
        const auto error = thrown<EKYCAPIError>(
            [&, expected = data, input = text] { EXPECT_EQ(envelope.value(), expected) << input; });
        // Without a payload type, status 0 alone is success; otherwise it fails the same way.
        const auto voidError =
            thrown<EKYCAPIError>([input = text] { decodeEnvelope<EKYCVoidResponse>(input).value(); });
        const auto voidCode = voidError ? std::optional(voidError->code()) : std::nullopt;
        EXPECT_EQ(voidCode, envelope.statusCode == 0 ? std::nullopt : code) << text;
        ASSERT_EQ(error.has_value(), code.has_value()) << text;
        if (!error) continue;
        EXPECT_EQ(error->code(), *code) << text;
        EXPECT_EQ(error->message(), message) << text;
        EXPECT_FALSE(error->status()) << text;
        const auto* payload = std::any_cast<std::string>(&error->payload());
        EXPECT_EQ(payload ? Text(*payload) : none, data) << text;
    }
}

// ---- key conversion ----

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

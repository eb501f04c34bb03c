#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "ovira/Data.h"
#include "ovira/JSONDecoder.h"
#include "ovira/JSONEncoder.h"

namespace ovira {
namespace {

using Kind = DecodingError::Kind;
using json = nlohmann::json;

// ---- test models ----

struct Address {
    std::string streetName;
    std::optional<std::string> postalCode;

    static Address decode(const DecodingValue& v) {
        return Address{v.decode<std::string>("streetName"), v.decodeIfPresent<std::string>("postalCode")};
    }
    void encode(EncodingValue& v) const {
        v.encode("streetName", streetName);
        v.encodeIfPresent("postalCode", postalCode);
    }
    friend bool operator==(const Address&, const Address&) = default;
};

struct Applicant {
    std::string fullName;
    std::int32_t age = 0;
    double heightInMeters = 0;
    bool isVerified = false;
    Address homeAddress;
    std::vector<Address> previousAddresses;
    std::optional<std::string> middleName;  // written as null when absent

    static Applicant decode(const DecodingValue& v) {
        Applicant a;
        a.fullName = v.decode<std::string>("fullName");
        a.age = v.decode<std::int32_t>("age");
        a.heightInMeters = v.decode<double>("heightInMeters");
        a.isVerified = v.decode<bool>("isVerified");
        a.homeAddress = v.decode<Address>("homeAddress");
        a.previousAddresses = v.decode<std::vector<Address>>("previousAddresses");
        a.middleName = v.decode<std::optional<std::string>>("middleName");
        return a;
    }
    void encode(EncodingValue& v) const {
        v.encode("fullName", fullName);
        v.encode("age", age);
        v.encode("heightInMeters", heightInMeters);
        v.encode("isVerified", isVerified);
        v.encode("homeAddress", homeAddress);
        v.encode("previousAddresses", previousAddresses);
        v.encode("middleName", middleName);
    }
    friend bool operator==(const Applicant&, const Applicant&) = default;
};

struct IssuedDocument {
    Date issuedAt;

    static IssuedDocument decode(const DecodingValue& v) { return {v.decode<Date>("issuedAt")}; }
    void encode(EncodingValue& v) const { v.encode("issuedAt", issuedAt); }
};

struct Measurements {
    std::vector<double> values;
    void encode(EncodingValue& v) const { v.encode("values", values); }
};

// Accepts any JSON value; for tests about the document itself.
struct AnyJSON {
    static AnyJSON decode(const DecodingValue&) { return {}; }
};

struct Label {
    std::string a;
    static Label decode(const DecodingValue& v) { return {v.decode<std::string>("a")}; }
};

// Counts how deep a chain of first array elements goes.
struct ArrayDepth {
    int levels = 0;
    static ArrayDepth decode(const DecodingValue& v) {
        const auto elements = v.elements();
        return {1 + (elements.empty() ? 0 : elements.front().decode<ArrayDepth>().levels)};
    }
};

// Counts how deep a chain of {"a": ...} objects goes.
struct ObjectDepth {
    int levels = 0;
    static ObjectDepth decode(const DecodingValue& v) {
        auto inner = v.memberIfPresent("a");
        return {1 + (inner ? inner->decode<ObjectDepth>().levels : 0)};
    }
};

// ---- helpers ----

JSONDecoder serviceDecoder() {
    JSONDecoder decoder;
    decoder.keyDecodingStrategy = JSONDecoder::KeyDecodingStrategy::convertFromSnakeCase;
    decoder.dateDecodingStrategy = decodeServiceDate;
    return decoder;
}

Date unixSeconds(std::int64_t seconds) {
    return Date(std::chrono::seconds(seconds));
}

std::int64_t toUnixSeconds(Date date) {
    return std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
}

std::string asText(const Data& data) {
    return std::string(asStringView(data));
}

template <class Body>
DecodingError thrownDecodingError(Body&& body) {
    try {
        body();
    } catch (const DecodingError& error) {
        return error;
    }
    ADD_FAILURE() << "no DecodingError was thrown";
    return DecodingError(Kind::valueNotFound, {"<not thrown>"}, "");
}

template <class Body>
EncodingError thrownEncodingError(Body&& body) {
    try {
        body();
    } catch (const EncodingError& error) {
        return error;
    }
    ADD_FAILURE() << "no EncodingError was thrown";
    return EncodingError({"<not thrown>"}, "");
}

template <class T>
DecodingError decodingErrorOf(const JSONDecoder& decoder, std::string_view text) {
    return thrownDecodingError([&] { decoder.decode<T>(text); });
}

// Runs a test in a fixed time zone (POSIX TZ rules need no time zone database).
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* current = getenv("TZ")) saved_ = current;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> saved_;
};

// Puts the shared coders back whatever a test does to them.
class SharedCodersGuard {
public:
    SharedCodersGuard() : decoder_(JSONDecoder::shared()), encoder_(JSONEncoder::shared()) {}
    ~SharedCodersGuard() {
        JSONDecoder::setShared(decoder_);
        JSONEncoder::setShared(encoder_);
    }
    SharedCodersGuard(const SharedCodersGuard&) = delete;
    SharedCodersGuard& operator=(const SharedCodersGuard&) = delete;

private:
    std::shared_ptr<const JSONDecoder> decoder_;
    std::shared_ptr<const JSONEncoder> encoder_;
};

const char* const kApplicantSnake = R"({
    "full_name": "Nguyễn Văn An",
    "age": 34,
    "height_in_meters": 1.72,
    "is_verified": true,
    "home_address": {"street_name": "12 Lý Thường Kiệt", "postal_code": "100000"},
    "previous_addresses": [{"street_name": "1 Hàng Bài"}, {"street_name": "2 Tràng Tiền", "postal_code": null}],
    "middle_name": null
})";

Applicant sampleApplicant() {
    return Applicant{"Nguyễn Văn An",
                     34,
                     1.72,
                     true,
                     {"12 Lý Thường Kiệt", "100000"},
                     {{"1 Hàng Bài", std::nullopt}, {"2 Tràng Tiền", std::nullopt}},
                     std::nullopt};
}

// ---- shared coders and key strategies ----

TEST(SharedCodersTest, SettingsOfTheSharedDecoderAndEncoder) {
    const auto decoder = JSONDecoder::shared();
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(decoder->keyDecodingStrategy, JSONDecoder::KeyDecodingStrategy::convertFromSnakeCase);
    EXPECT_FALSE(decoder->dateDecodingStrategy);
    EXPECT_EQ(JSONDecoder::shared(), decoder);  // one instance

    const auto encoder = JSONEncoder::shared();
    ASSERT_NE(encoder, nullptr);
    EXPECT_EQ(encoder->keyEncodingStrategy, JSONEncoder::KeyEncodingStrategy::convertToSnakeCase);
    EXPECT_FALSE(encoder->dateEncodingStrategy);
    EXPECT_EQ(JSONEncoder::shared(), encoder);

    EXPECT_EQ(JSONDecoder().keyDecodingStrategy, JSONDecoder::KeyDecodingStrategy::useDefaultKeys);
    EXPECT_EQ(JSONEncoder().keyEncodingStrategy, JSONEncoder::KeyEncodingStrategy::useDefaultKeys);
}

TEST(SharedCodersTest, TheSharedCodersAreReplaceable) {
    SharedCodersGuard guard;
    const auto original = JSONDecoder::shared();

    JSONDecoder::setShared(std::make_shared<const JSONDecoder>());
    EXPECT_NE(JSONDecoder::shared(), original);
    EXPECT_EQ(decodingErrorOf<Address>(*JSONDecoder::shared(), R"({"street_name":"x"})").kind(),
              Kind::keyNotFound);

    // A null replacement is ignored.
    const auto replaced = JSONDecoder::shared();
    JSONDecoder::setShared(nullptr);
    EXPECT_EQ(JSONDecoder::shared(), replaced);

    JSONEncoder::setShared(std::make_shared<const JSONEncoder>());
    EXPECT_EQ(asText(JSONEncoder::shared()->encode(Address{"x", std::nullopt})), R"({"streetName":"x"})");
    JSONEncoder::setShared(nullptr);
    EXPECT_NE(JSONEncoder::shared(), nullptr);
}

TEST(KeyStrategyTest, TheSharedDecoderConvertsSnakeCaseKeysAtEveryLevel) {
    const auto applicant = JSONDecoder::shared()->decode<Applicant>(std::string_view(kApplicantSnake));
    EXPECT_EQ(applicant, sampleApplicant());
}

TEST(KeyStrategyTest, CamelCaseKeysAreReadUnchangedByTheSharedDecoder) {
    const auto address =
        JSONDecoder::shared()->decode<Address>(std::string_view(R"({"streetName":"a","postalCode":"b"})"));
    EXPECT_EQ(address, (Address{"a", "b"}));
}

TEST(KeyStrategyTest, DefaultKeysAreUsedAsTheyAre) {
    const JSONDecoder plain;
    EXPECT_EQ(plain.decode<Address>(std::string_view(R"({"streetName":"a"})")), (Address{"a", std::nullopt}));
    const auto error = decodingErrorOf<Address>(plain, R"({"street_name":"a"})");
    EXPECT_EQ(error.kind(), Kind::keyNotFound);
    EXPECT_EQ(error.debugDescription(), "No value associated with key \"streetName\".");
}

TEST(KeyStrategyTest, TheSharedEncoderWritesSnakeCaseKeysOfNestedTypes) {
    const Data encoded = JSONEncoder::shared()->encode(sampleApplicant());
    const json expected = json::parse(R"({
        "full_name": "Nguyễn Văn An",
        "age": 34,
        "height_in_meters": 1.72,
        "is_verified": true,
        "home_address": {"street_name": "12 Lý Thường Kiệt", "postal_code": "100000"},
        "previous_addresses": [{"street_name": "1 Hàng Bài"}, {"street_name": "2 Tràng Tiền"}],
        "middle_name": null
    })");
    EXPECT_EQ(json::parse(asText(encoded)), expected) << asText(encoded);
    // The round trip through the shared coders gives the value back.
    EXPECT_EQ(JSONDecoder::shared()->decode<Applicant>(encoded), sampleApplicant());
}

TEST(KeyStrategyTest, APlainEncoderKeepsTheKeys) {
    EXPECT_EQ(asText(JSONEncoder().encode(Address{"a", "b"})), R"({"postalCode":"b","streetName":"a"})");
    EXPECT_EQ(asText(JSONEncoder::shared()->encode(Address{"a", std::nullopt})), R"({"street_name":"a"})");
}

// ---- decoding strictness ----

TEST(DecodingStrictnessTest, TypeMismatches) {
    const JSONDecoder decoder;
    struct Case {
        DecodingError error;
        Kind kind;
    };
    const std::vector<Case> cases{
        {decodingErrorOf<std::string>(decoder, "1"), Kind::typeMismatch},
        {decodingErrorOf<std::string>(decoder, "true"), Kind::typeMismatch},
        {decodingErrorOf<std::string>(decoder, "[]"), Kind::typeMismatch},
        {decodingErrorOf<int>(decoder, "\"1\""), Kind::typeMismatch},
        {decodingErrorOf<int>(decoder, "true"), Kind::typeMismatch},
        {decodingErrorOf<bool>(decoder, "1"), Kind::typeMismatch},
        {decodingErrorOf<bool>(decoder, "\"true\""), Kind::typeMismatch},
        {decodingErrorOf<double>(decoder, "\"1.5\""), Kind::typeMismatch},
        {decodingErrorOf<std::vector<int>>(decoder, "{}"), Kind::typeMismatch},
        {decodingErrorOf<Address>(decoder, "[]"), Kind::typeMismatch},
        {decodingErrorOf<std::optional<int>>(decoder, "\"5\""), Kind::typeMismatch},
    };
    for (const auto& c : cases) EXPECT_EQ(c.error.kind(), c.kind) << c.error.what();

    EXPECT_EQ(decodingErrorOf<std::string>(decoder, "1").debugDescription(),
              "Expected to decode String but found number instead.");
}

TEST(DecodingStrictnessTest, NullIsNotAbsent) {
    const JSONDecoder decoder;
    // A required value that is null: valueNotFound at the member.
    const auto nullError = decodingErrorOf<Address>(decoder, R"({"streetName":null})");
    EXPECT_EQ(nullError.kind(), Kind::valueNotFound);
    EXPECT_EQ(nullError.codingPath(), (std::vector<std::string>{"streetName"}));
    // A required value that is missing: keyNotFound at the container.
    const auto missingError = decodingErrorOf<Address>(decoder, R"({"postalCode":"1"})");
    EXPECT_EQ(missingError.kind(), Kind::keyNotFound);
    EXPECT_TRUE(missingError.codingPath().empty());
    // Optional members: absent and null are both nothing; a wrong type still fails.
    EXPECT_EQ(decoder.decode<Address>(std::string_view(R"({"streetName":"s"})")).postalCode, std::nullopt);
    EXPECT_EQ(decoder.decode<Address>(std::string_view(R"({"streetName":"s","postalCode":null})")).postalCode,
              std::nullopt);
    const auto wrongType = decodingErrorOf<Address>(decoder, R"({"streetName":"s","postalCode":100000})");
    EXPECT_EQ(wrongType.kind(), Kind::typeMismatch);
    EXPECT_EQ(wrongType.codingPath(), (std::vector<std::string>{"postalCode"}));
    // A root null for a non-optional type.
    EXPECT_EQ(decodingErrorOf<int>(decoder, "null").kind(), Kind::valueNotFound);
    EXPECT_EQ(decoder.decode<std::optional<int>>(std::string_view("null")), std::nullopt);
    EXPECT_EQ(decoder.decode<std::optional<int>>(std::string_view("5")), 5);
}

TEST(DecodingStrictnessTest, IntegersFromIntegralNumbersOnly) {
    const JSONDecoder decoder;
    EXPECT_EQ(decoder.decode<int>(std::string_view("1.0")), 1);
    EXPECT_EQ(decoder.decode<int>(std::string_view("1e2")), 100);
    EXPECT_EQ(decoder.decode<int>(std::string_view("-0.0")), 0);
    EXPECT_EQ(decoder.decode<int>(std::string_view("-7")), -7);
    for (const char* text : {"1.5", "-0.25", "1e-1", "1e30", "100000000000000000000"}) {
        EXPECT_EQ(decodingErrorOf<int>(decoder, text).kind(), Kind::dataCorrupted) << text;
    }
    EXPECT_DOUBLE_EQ(decoder.decode<double>(std::string_view("3")), 3.0);
    EXPECT_DOUBLE_EQ(decoder.decode<double>(std::string_view("-2.5e-3")), -0.0025);
}

TEST(DecodingStrictnessTest, IntegersMustFitTheirType) {
    const JSONDecoder decoder;
    EXPECT_EQ(decoder.decode<std::int64_t>(std::string_view("9223372036854775807")), INT64_MAX);
    EXPECT_EQ(decoder.decode<std::int64_t>(std::string_view("-9223372036854775808")), INT64_MIN);
    EXPECT_EQ(decoder.decode<std::int32_t>(std::string_view("2147483647")), INT32_MAX);
    EXPECT_EQ(decoder.decode<std::int32_t>(std::string_view("-2147483648")), INT32_MIN);
    EXPECT_EQ(decoder.decode<std::int8_t>(std::string_view("-128")), -128);
    EXPECT_EQ(decoder.decode<std::uint8_t>(std::string_view("255")), 255);
    EXPECT_EQ(decoder.decode<std::uint16_t>(std::string_view("65535")), 65535);
    EXPECT_EQ(decoder.decode<std::uint32_t>(std::string_view("4294967295")), UINT32_MAX);
    EXPECT_EQ(decoder.decode<std::uint64_t>(std::string_view("9223372036854775807")), 9223372036854775807ULL);

    EXPECT_EQ(decodingErrorOf<std::int64_t>(decoder, "9223372036854775808").kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<std::int32_t>(decoder, "2147483648").kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<std::int32_t>(decoder, "-2147483649").kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<std::int8_t>(decoder, "-129").kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<std::int8_t>(decoder, "128").kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<std::uint8_t>(decoder, "256").kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<std::uint8_t>(decoder, "-1").kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<std::uint16_t>(decoder, "65536").kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<std::uint32_t>(decoder, "4294967296").kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<std::uint64_t>(decoder, "-1").kind(), Kind::dataCorrupted);
}

TEST(DecodingStrictnessTest, VectorsAndOptionals) {
    const JSONDecoder decoder;
    EXPECT_EQ(decoder.decode<std::vector<int>>(std::string_view("[3,1,2]")), (std::vector<int>{3, 1, 2}));
    EXPECT_TRUE(decoder.decode<std::vector<int>>(std::string_view("[]")).empty());
    EXPECT_EQ(decoder.decode<std::vector<std::optional<int>>>(std::string_view("[1,null,3]")),
              (std::vector<std::optional<int>>{1, std::nullopt, 3}));
    EXPECT_EQ(
        decoder.decode<std::vector<std::vector<std::string>>>(std::string_view(R"([["a"],[],["b","c"]])")),
        (std::vector<std::vector<std::string>>{{"a"}, {}, {"b", "c"}}));

    const auto mixed = decodingErrorOf<std::vector<int>>(decoder, R"([1,"x"])");
    EXPECT_EQ(mixed.kind(), Kind::typeMismatch);
    EXPECT_EQ(mixed.codingPath(), (std::vector<std::string>{"1"}));
    const auto withNull = decodingErrorOf<std::vector<int>>(decoder, "[1,2,null]");
    EXPECT_EQ(withNull.kind(), Kind::valueNotFound);
    EXPECT_EQ(withNull.codingPath(), (std::vector<std::string>{"2"}));
}

TEST(DecodingStrictnessTest, DataOverloadDecodesTheSameBytes) {
    EXPECT_EQ(JSONDecoder().decode<std::vector<int>>(makeData("[1,2]")), (std::vector<int>{1, 2}));
}

// ---- error paths and descriptions ----

TEST(DecodingErrorTest, ThePathLeadsToTheFailingValueUsingConvertedKeys) {
    const auto error = decodingErrorOf<Applicant>(*JSONDecoder::shared(), R"({
        "full_name": "A", "age": 1, "height_in_meters": 1, "is_verified": false,
        "home_address": {"street_name": "s"},
        "previous_addresses": [{"street_name": "a"}, {"street_name": 12}],
        "middle_name": null})");
    EXPECT_EQ(error.kind(), Kind::typeMismatch);
    EXPECT_EQ(error.codingPath(), (std::vector<std::string>{"previousAddresses", "1", "streetName"}));
    EXPECT_EQ(error.codingPathString(), "previousAddresses.1.streetName");
    EXPECT_STREQ(error.what(),
                 "typeMismatch at previousAddresses.1.streetName: Expected to decode String but found number "
                 "instead.");
    EXPECT_EQ(error.redactedDescription(), error.what());
}

TEST(DecodingErrorTest, RedactedDescriptionOmitsCorruptedInput) {
    const auto error = decodingErrorOf<IssuedDocument>(serviceDecoder(), R"({"issued_at":"1990-05-17"})");
    EXPECT_EQ(error.kind(), Kind::dataCorrupted);
    EXPECT_STREQ(error.what(), "dataCorrupted at issuedAt: Invalid date: 1990-05-17");
    EXPECT_EQ(error.redactedDescription(), "dataCorrupted at issuedAt");
}

TEST(DecodingErrorTest, KindNames) {
    EXPECT_STREQ(toString(Kind::typeMismatch), "typeMismatch");
    EXPECT_STREQ(toString(Kind::valueNotFound), "valueNotFound");
    EXPECT_STREQ(toString(Kind::keyNotFound), "keyNotFound");
    EXPECT_STREQ(toString(Kind::dataCorrupted), "dataCorrupted");
    EXPECT_STREQ(DecodingError(Kind::keyNotFound, {}, "No value.").what(), "keyNotFound: No value.");
    EXPECT_STREQ(EncodingError({"a", "0"}, "Bad.").what(), "invalidValue at a.0: Bad.");
    EXPECT_STREQ(EncodingError({}, "Bad.").what(), "invalidValue: Bad.");
}

TEST(DecodingErrorTest, DecodeFunctionsReadingJSONDirectlyFailAsDecodingErrors) {
    struct Direct {
        static Direct decode(const DecodingValue& v) {
            (void)v.json().at("missing").get<int>();
            return {};
        }
    };
    const auto error = decodingErrorOf<Direct>(JSONDecoder(), "{}");
    EXPECT_EQ(error.kind(), Kind::dataCorrupted);
}

// ---- malformed input ----

TEST(MalformedInputTest, InvalidJSONIsDataCorrupted) {
    const JSONDecoder decoder;
    for (const char* text : {"", " ", "{", "}", R"({"a":})", R"({"a" 1})", "nul", "{} x", "[1,]", "{'a':1}",
                             R"({"a":1,})", "01", "NaN", "1e400", "\"unterminated", R"("bad \q escape")"}) {
        const auto error = decodingErrorOf<AnyJSON>(decoder, text);
        EXPECT_EQ(error.kind(), Kind::dataCorrupted) << '"' << text << '"';
        EXPECT_TRUE(error.codingPath().empty()) << text;
        EXPECT_EQ(error.debugDescription().rfind("The given data was not valid JSON.", 0), 0u)
            << error.what();
    }
}

TEST(MalformedInputTest, InvalidUTF8IsDataCorrupted) {
    const JSONDecoder decoder;
    const std::vector<Data> inputs{
        Data{'"', 0xFF, '"'},
        Data{'"', 0xC0, 0xAF, '"'},                // overlong "/"
        Data{'"', 0xED, 0xA0, 0x80, '"'},          // a surrogate written as UTF-8
        Data{'"', 0xE2, 0x82, '"'},                // truncated sequence
        Data{'"', 0xF4, 0x90, 0x80, 0x80, '"'},    // beyond U+10FFFF
        Data{'{', '"', 0xFE, '"', ':', '1', '}'},  // in a key
        makeData(R"("\ud800")"),                   // a lone escaped surrogate
    };
    for (const auto& input : inputs) {
        EXPECT_EQ(thrownDecodingError([&] { decoder.decode<std::string>(input); }).kind(),
                  Kind::dataCorrupted);
    }
    // Valid multi-byte text and escapes decode to UTF-8.
    EXPECT_EQ(decoder.decode<std::string>(makeData(R"("Đ\u00e9\ud83d\ude00")")), "Đé\xF0\x9F\x98\x80");
}

// ---- nesting limit ----

std::string nestedArrays(std::size_t levels) {
    return std::string(levels, '[') + std::string(levels, ']');
}

std::string nestedObjects(std::size_t levels) {
    std::string text;
    for (std::size_t i = 0; i < levels; ++i) text += R"({"a":)";
    text += "null";
    text += std::string(levels, '}');
    return text;
}

TEST(NestingLimitTest, SixtyFourLevelsDecode) {
    EXPECT_EQ(JSONDecoder().decode<ArrayDepth>(std::string_view(nestedArrays(64))).levels, 64);
    EXPECT_EQ(JSONDecoder::shared()->decode<ObjectDepth>(std::string_view(nestedObjects(64))).levels, 64);
}

TEST(NestingLimitTest, SixtyFiveLevelsFail) {
    for (const auto& text : {nestedArrays(65), nestedObjects(65)}) {
        const auto error = decodingErrorOf<AnyJSON>(JSONDecoder(), text);
        EXPECT_EQ(error.kind(), Kind::dataCorrupted);
        EXPECT_TRUE(error.codingPath().empty());
    }
    EXPECT_EQ(decodingErrorOf<AnyJSON>(*JSONDecoder::shared(), nestedObjects(65)).kind(),
              Kind::dataCorrupted);
    // Deep nesting that follows a string with escapes still counts.
    EXPECT_EQ(decodingErrorOf<AnyJSON>(JSONDecoder(), R"(["a\nb\"c",)" + nestedArrays(64) + "]").kind(),
              Kind::dataCorrupted);
    EXPECT_EQ(JSONDecoder()
                  .decode<ArrayDepth>(std::string_view(R"([[],"a\nb\"c",)" + nestedArrays(62) + "]"))
                  .levels,
              2);
}

TEST(NestingLimitTest, OneHundredThousandLevelsFailWithoutCrashing) {
    EXPECT_EQ(decodingErrorOf<AnyJSON>(JSONDecoder(), nestedArrays(100000)).kind(), Kind::dataCorrupted);
    EXPECT_EQ(decodingErrorOf<AnyJSON>(*JSONDecoder::shared(), nestedObjects(100000)).kind(),
              Kind::dataCorrupted);
    // Unclosed brackets too.
    EXPECT_EQ(decodingErrorOf<AnyJSON>(JSONDecoder(), std::string(100000, '[')).kind(), Kind::dataCorrupted);
}

TEST(NestingLimitTest, BracketsInsideStringsDoNotCount) {
    // An escaped quote does not end the string, an escaped backslash does not escape the closing quote.
    const std::string brackets(200, '[');
    const std::string text =
        R"([{"a":")" + brackets + R"(\"{{{{)" + brackets + R"(\\"},{"a":"\\","b":")" + brackets + R"("}])";
    const auto labels = JSONDecoder().decode<std::vector<Label>>(std::string_view(text));
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].a, brackets + "\"{{{{" + brackets + "\\");
    EXPECT_EQ(labels[1].a, "\\");
    // Many shallow siblings are fine as well.
    std::string wide = "[";
    for (int i = 0; i < 1000; ++i) wide += (i ? ",[[]]" : "[[]]");
    wide += "]";
    EXPECT_EQ(JSONDecoder().decode<ArrayDepth>(std::string_view(wide)).levels, 3);
}

// ---- dates ----

TEST(DefaultDateTest, DatesAreSecondsSinceTheReferenceDate) {
    const JSONDecoder decoder;
    EXPECT_EQ(toUnixSeconds(decoder.decode<Date>(std::string_view("0"))), 978307200);
    EXPECT_EQ(toUnixSeconds(decoder.decode<Date>(std::string_view("-978307200"))), 0);
    EXPECT_EQ(decoder.decode<Date>(std::string_view("1.5")),
              unixSeconds(978307201) + std::chrono::milliseconds(500));
    EXPECT_EQ(decodingErrorOf<Date>(decoder, "\"20240131235959\"").kind(), Kind::typeMismatch);

    EXPECT_EQ(asText(JSONEncoder().encode(unixSeconds(978307200) + std::chrono::milliseconds(1500))), "1.5");
    EXPECT_EQ(asText(JSONEncoder().encode(unixSeconds(978307190))), "-10.0");
}

TEST(ServiceDateTest, FourteenDigitsAreALocalTime) {
    {
        ScopedTimeZone zone("ICT-7");  // UTC+7
        const auto document =
            serviceDecoder().decode<IssuedDocument>(std::string_view(R"({"issued_at":"20240131235959"})"));
        EXPECT_EQ(toUnixSeconds(document.issuedAt), 1706720399);  // 2024-01-31 16:59:59 UTC
        EXPECT_EQ(formatServiceDate(document.issuedAt), "20240131235959");
    }
    {
        ScopedTimeZone zone("EST5");  // UTC-5
        const auto document =
            serviceDecoder().decode<IssuedDocument>(std::string_view(R"({"issuedAt":"20240131235959"})"));
        EXPECT_EQ(toUnixSeconds(document.issuedAt), 1706763599);  // 2024-02-01 04:59:59 UTC
    }
}

TEST(ServiceDateTest, DaylightSavingTimeFollowsTheZoneRules) {
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(toUnixSeconds(*parseServiceDate("20240131235959")), 1706741999);  // UTC+1 in winter
    EXPECT_EQ(toUnixSeconds(*parseServiceDate("20240701120000")), 1719828000);  // UTC+2 in summer
    EXPECT_EQ(formatServiceDate(unixSeconds(1719828000)), "20240701120000");
}

TEST(ServiceDateTest, LeapDaysAndTheEdgesOfEachField) {
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(toUnixSeconds(*parseServiceDate("20240229120000")), 1709208000);
    EXPECT_EQ(toUnixSeconds(*parseServiceDate("20000229000000")), 951782400);
    EXPECT_EQ(toUnixSeconds(*parseServiceDate("19700101000000")), 0);
    EXPECT_EQ(toUnixSeconds(*parseServiceDate("19691231235959")), -1);
    EXPECT_EQ(toUnixSeconds(*parseServiceDate("20241231235959")), 1735689599);
}

TEST(ServiceDateTest, OtherFormsAndImpossibleDatesFailWithTheReceivedText) {
    ScopedTimeZone zone("ICT-7");
    const auto decoder = serviceDecoder();
    for (const std::string text : {"2024-01-31 23:59:59",
                                   "2024-01-31-23-59-59",
                                   "2024-01-31T23:59:59",
                                   "20240230000000",
                                   "20230229120000",
                                   "19000229000000",
                                   "20241301000000",
                                   "20240001000000",
                                   "20240100000000",
                                   "20240431000000",
                                   "20240131240000",
                                   "20240131236000",
                                   "20240131235960",
                                   "2024013123595",
                                   "202401312359590",
                                   "2024013123595a",
                                   " 20240131235959",
                                   "+2024013123595",
                                   "",
                                   "Invalid"}) {
        const auto error = decodingErrorOf<IssuedDocument>(decoder, R"({"issued_at":")" + text + R"("})");
        EXPECT_EQ(error.kind(), Kind::dataCorrupted) << text;
        EXPECT_EQ(error.debugDescription(), "Invalid date: " + text);
        EXPECT_EQ(error.codingPath(), (std::vector<std::string>{"issuedAt"})) << text;
        EXPECT_FALSE(parseServiceDate(text).has_value()) << text;
    }
}

TEST(ServiceDateTest, ANonStringDateIsATypeMismatch) {
    const auto error = decodingErrorOf<IssuedDocument>(serviceDecoder(), R"({"issued_at":20240131235959})");
    EXPECT_EQ(error.kind(), Kind::typeMismatch);
    EXPECT_EQ(error.codingPath(), (std::vector<std::string>{"issuedAt"}));
}

TEST(ServiceDateTest, ACustomEncodingStrategyWritesTheServiceForm) {
    ScopedTimeZone zone("ICT-7");
    JSONEncoder encoder;
    encoder.keyEncodingStrategy = JSONEncoder::KeyEncodingStrategy::convertToSnakeCase;
    encoder.dateEncodingStrategy = [](Date date, EncodingValue& value) {
        value.encodeString(formatServiceDate(date));
    };
    EXPECT_EQ(asText(encoder.encode(IssuedDocument{unixSeconds(1706720399)})),
              R"({"issued_at":"20240131235959"})");
}

// ---- encoding ----

TEST(EncodingTest, ScalarsAndText) {
    const JSONEncoder encoder;
    EXPECT_EQ(asText(encoder.encode(std::string("Nguyễn \"An\"\n/\\"))), "\"Nguyễn \\\"An\\\"\\n/\\\\\"");
    EXPECT_EQ(asText(encoder.encode(std::string("\x01"))), R"("\u0001")");
    EXPECT_EQ(asText(encoder.encode(true)), "true");
    EXPECT_EQ(asText(encoder.encode(INT64_MIN)), "-9223372036854775808");
    EXPECT_EQ(asText(encoder.encode(std::uint32_t{4294967295u})), "4294967295");
    EXPECT_EQ(asText(encoder.encode(12.5)), "12.5");
    EXPECT_EQ(asText(encoder.encode(std::vector<int>{})), "[]");
    EXPECT_EQ(asText(encoder.encode(std::optional<int>{})), "null");
    EXPECT_EQ(asText(encoder.encode(std::vector<std::optional<int>>{1, std::nullopt})), "[1,null]");
}

TEST(EncodingTest, AbsentOptionalsAreLeftOutByEncodeIfPresent) {
    EXPECT_EQ(asText(JSONEncoder::shared()->encode(Address{"s", std::nullopt})), R"({"street_name":"s"})");
    EXPECT_EQ(asText(JSONEncoder::shared()->encode(Address{"s", "1"})),
              R"({"postal_code":"1","street_name":"s"})");
}

TEST(EncodingTest, NonFiniteNumbersFail) {
    const JSONEncoder encoder;
    for (double value :
         {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
        const auto error = thrownEncodingError([&] { encoder.encode(value); });
        EXPECT_TRUE(error.codingPath().empty());
    }
    const auto nested = thrownEncodingError([] { JSONEncoder().encode(Measurements{{1.0, std::nan("")}}); });
    EXPECT_EQ(nested.codingPath(), (std::vector<std::string>{"values", "1"}));

    Applicant applicant = sampleApplicant();
    applicant.heightInMeters = std::numeric_limits<double>::infinity();
    const auto member = thrownEncodingError([&] { JSONEncoder::shared()->encode(applicant); });
    EXPECT_EQ(member.codingPath(), (std::vector<std::string>{"heightInMeters"}));
}

TEST(EncodingTest, TextThatIsNotUTF8Fails) {
    for (const std::string& text :
         {std::string("\xFF"), std::string("ab\xC3("), std::string("\xC0\xAF"), std::string("\xED\xA0\x80"),
          std::string("\xE2\x82"), std::string("\xF4\x90\x80\x80")}) {
        const auto error = thrownEncodingError([&] { JSONEncoder().encode(text); });
        EXPECT_EQ(error.debugDescription(), "String is not valid UTF-8.");
    }
    const auto inMember = thrownEncodingError([] { JSONEncoder::shared()->encode(Address{"ok", "\x80"}); });
    EXPECT_EQ(inMember.codingPath(), (std::vector<std::string>{"postalCode"}));

    struct BadKey {
        void encode(EncodingValue& v) const { v.encode(std::string_view("\xFF"), 1); }
    };
    EXPECT_EQ(thrownEncodingError([] { JSONEncoder().encode(BadKey{}); }).debugDescription(),
              "Key is not valid UTF-8.");
}

TEST(EncodingTest, UnsignedValuesBeyondTheSignedRangeAreRefusedNotWrapped) {
    EXPECT_EQ(asText(JSONEncoder().encode(std::uint64_t{9223372036854775807ULL})), "9223372036854775807");
    EXPECT_EQ(thrownEncodingError([] {
                  JSONEncoder().encode(std::uint64_t{9223372036854775808ULL});
              }).debugDescription(),
              "Number 9223372036854775808 does not fit in Int64.");
    struct Counter {
        std::uint64_t count;
        void encode(EncodingValue& v) const { v.encode("byteCount", count); }
    };
    const auto error = thrownEncodingError([] { JSONEncoder().encode(Counter{UINT64_MAX}); });
    EXPECT_EQ(error.codingPath(), (std::vector<std::string>{"byteCount"}));
}

}  // namespace
}  // namespace ovira

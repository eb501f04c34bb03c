#include <gtest/gtest.h>

#include <tuple>

#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/JSONDecoder.h"

namespace ovira {
namespace {

using Kind = DecodingError::Kind;

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

template <class Error, class Body>
std::optional<Error> thrown(Body&& body) try {
    body();
    return std::nullopt;
} catch (const Error& error) {
    return error;
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

}  // namespace
}  // namespace ovira

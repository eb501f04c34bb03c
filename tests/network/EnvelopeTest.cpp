#include <gtest/gtest.h>

#include <any>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/JSONDecoder.h"

namespace ovira {
namespace {

// A payload as an endpoint would return it.
struct Person {
    std::string firstName;
    std::optional<std::string> idNumber;

    static Person decode(const DecodingValue& value) {
        return Person{value.decode<std::string>("firstName"), value.decodeIfPresent<std::string>("idNumber")};
    }
};

template <class T>
EKYCBaseApiResponse<T> decodeEnvelope(std::string_view text) {
    return JSONDecoder::shared()->decode<EKYCBaseApiResponse<T>>(text);
}

// Runs `body`, which must throw an EKYCAPIError, and returns that error.
template <class Body>
EKYCAPIError thrownError(Body&& body) {
    try {
        body();
    } catch (const EKYCAPIError& error) {
        return error;
    }
    ADD_FAILURE() << "no EKYCAPIError was thrown";
    return EKYCAPIError(0, std::nullopt, "<not thrown>");
}

template <class Body>
DecodingError thrownDecodingError(Body&& body) {
    try {
        body();
    } catch (const DecodingError& error) {
        return error;
    }
    ADD_FAILURE() << "no DecodingError was thrown";
    return DecodingError(DecodingError::Kind::valueNotFound, {"<not thrown>"}, "");
}

// ---- decoding ----

TEST(EnvelopeDecodingTest, ReadsTheThreeMembers) {
    const auto envelope = decodeEnvelope<Person>(
        R"({"statusCode":0,"data":{"firstName":"An","idNumber":"079"},"message":"OK"})");
    EXPECT_EQ(envelope.statusCode, 0);
    ASSERT_TRUE(envelope.data.has_value());
    EXPECT_EQ(envelope.data->firstName, "An");
    EXPECT_EQ(envelope.data->idNumber, "079");
    EXPECT_EQ(envelope.message, "OK");
}

TEST(EnvelopeDecodingTest, MissingAndNullMembersStayAbsent) {
    for (const char* text : {"{}", R"({"statusCode":null,"data":null,"message":null})"}) {
        const auto envelope = decodeEnvelope<Person>(text);
        EXPECT_FALSE(envelope.statusCode.has_value()) << text;
        EXPECT_FALSE(envelope.data.has_value()) << text;
        EXPECT_FALSE(envelope.message.has_value()) << text;
    }
}

TEST(EnvelopeDecodingTest, OtherMembersAreIgnored) {
    const auto envelope = decodeEnvelope<int>(
        R"({"statusCode":0,"data":5,"message":"ok","extra":[1,{"x":null}],"timestamp":"20240131235959","Data":"x"})");
    EXPECT_EQ(envelope.statusCode, 0);
    EXPECT_EQ(envelope.data, 5);
    EXPECT_EQ(envelope.message, "ok");
}

TEST(EnvelopeDecodingTest, AMemberOfTheWrongTypeFailsTheWholeEnvelope) {
    struct Case {
        const char* text;
        DecodingError::Kind kind;
        std::vector<std::string> path;
    };
    const std::vector<Case> cases{
        {R"({"statusCode":"0","data":{"firstName":"An"}})",
         DecodingError::Kind::typeMismatch,
         {"statusCode"}},
        {R"({"statusCode":true})", DecodingError::Kind::typeMismatch, {"statusCode"}},
        {R"({"statusCode":0.5})", DecodingError::Kind::dataCorrupted, {"statusCode"}},
        {R"({"statusCode":0,"message":42})", DecodingError::Kind::typeMismatch, {"message"}},
        {R"({"statusCode":0,"data":"An"})", DecodingError::Kind::typeMismatch, {"data"}},
        {R"({"statusCode":0,"data":{}})", DecodingError::Kind::keyNotFound, {"data"}},
        {R"({"statusCode":0,"data":{"firstName":null}})",
         DecodingError::Kind::valueNotFound,
         {"data", "firstName"}},
        {R"([{"statusCode":0}])", DecodingError::Kind::typeMismatch, {}},
    };
    for (const auto& c : cases) {
        const auto error = thrownDecodingError([&] { decodeEnvelope<Person>(c.text); });
        EXPECT_EQ(error.kind(), c.kind) << c.text << " -> " << error.what();
        EXPECT_EQ(error.codingPath(), c.path) << c.text;
    }
}

TEST(EnvelopeDecodingTest, AnIntegralFloatingStatusCodeIsAccepted) {
    EXPECT_EQ(decodeEnvelope<Person>(R"({"statusCode":0.0})").statusCode, 0);
    EXPECT_EQ(decodeEnvelope<Person>(R"({"statusCode":-2e0})").statusCode, -2);
}

TEST(EnvelopeDecodingTest, SnakeCaseStatusCodeIsAcceptedByTheSharedDecoder) {
    const auto envelope =
        decodeEnvelope<Person>(R"({"status_code":0,"data":{"first_name":"An","id_number":"1"}})");
    EXPECT_EQ(envelope.statusCode, 0);
    ASSERT_TRUE(envelope.data.has_value());
    EXPECT_EQ(envelope.data->firstName, "An");
    EXPECT_EQ(envelope.data->idNumber, "1");
    EXPECT_EQ(envelope.value().firstName, "An");

    // A decoder that keeps the keys does not see a statusCode at all.
    const JSONDecoder plain;
    const auto unconverted = plain.decode<EKYCBaseApiResponse<EKYCVoidResponse>>(R"({"status_code":0})");
    EXPECT_FALSE(unconverted.statusCode.has_value());
    EXPECT_EQ(thrownError([&] { unconverted.value(); }).code(), -1000);
}

// ---- value() ----

TEST(EnvelopeValueTest, StatusZeroWithDataYieldsTheData) {
    const auto person = decodeEnvelope<Person>(R"({"statusCode":0,"data":{"firstName":"Bình"}})").value();
    EXPECT_EQ(person.firstName, "Bình");
    EXPECT_FALSE(person.idNumber.has_value());

    EXPECT_EQ(decodeEnvelope<std::vector<int>>(R"({"statusCode":0,"data":[3,1,2]})").value(),
              (std::vector<int>{3, 1, 2}));
    // Data that is present but empty is still data.
    EXPECT_EQ(decodeEnvelope<std::string>(R"({"statusCode":0,"data":""})").value(), "");
}

TEST(EnvelopeValueTest, StatusZeroWithNullDataIsAnEnvelopeError) {
    const auto envelope = decodeEnvelope<Person>(R"({"statusCode":0,"data":null,"message":"Nothing found"})");
    const auto error = thrownError([&] { envelope.value(); });
    EXPECT_EQ(error.code(), 0);
    EXPECT_EQ(error.message(), "Nothing found");
    EXPECT_FALSE(error.status().has_value());
    EXPECT_FALSE(error.payload().has_value());
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
    EXPECT_EQ(error.domain(), "ai.qorix.sdk");
}

TEST(EnvelopeValueTest, StatusZeroWithoutDataIsAnEnvelopeErrorWithoutMessage) {
    const auto error = thrownError([] { decodeEnvelope<Person>(R"({"statusCode":0})").value(); });
    EXPECT_EQ(error.code(), 0);
    EXPECT_FALSE(error.message().has_value());
}

TEST(EnvelopeValueTest, ANonZeroStatusIsAnEnvelopeErrorCarryingTheDecodedData) {
    const auto envelope =
        decodeEnvelope<Person>(R"({"statusCode":2,"message":"Document expired","data":{"firstName":"An"}})");
    const auto error = thrownError([&] { envelope.value(); });
    EXPECT_EQ(error.code(), 2);
    EXPECT_EQ(error.message(), "Document expired");
    EXPECT_FALSE(error.status().has_value());
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
    const auto* payload = std::any_cast<Person>(&error.payload());
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(payload->firstName, "An");
}

TEST(EnvelopeValueTest, TheServiceSuccessMarkerIsZeroNot200) {
    const auto error = thrownError([] { decodeEnvelope<int>(R"({"statusCode":200,"data":1})").value(); });
    EXPECT_EQ(error.code(), 200);
    EXPECT_FALSE(error.message().has_value());
}

TEST(EnvelopeValueTest, AnEmptyObjectIsAnUnknowErrorWithoutMessage) {
    const auto error = thrownError([] { decodeEnvelope<Person>("{}").value(); });
    EXPECT_EQ(error.code(), -1000);
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
    EXPECT_FALSE(error.message().has_value());
    EXPECT_FALSE(error.status().has_value());
}

TEST(EnvelopeValueTest, DataWithoutStatusCodeIsStillAnError) {
    const auto error =
        thrownError([] { decodeEnvelope<int>(R"({"data":1,"message":"no marker"})").value(); });
    EXPECT_EQ(error.code(), -1000);
    EXPECT_EQ(error.message(), "no marker");
    ASSERT_NE(std::any_cast<int>(&error.payload()), nullptr);
    EXPECT_EQ(std::any_cast<int>(error.payload()), 1);
}

TEST(EnvelopeValueTest, AStatusCodeBeyondTheErrorCodeRangeBecomesUnknow) {
    const auto envelope = decodeEnvelope<int>(R"({"statusCode":4294967296,"message":"big"})");
    EXPECT_EQ(envelope.statusCode, 4294967296LL);
    const auto error = envelope.envelopeError();
    EXPECT_EQ(error.code(), -1000);
    EXPECT_EQ(error.message(), "big");
}

TEST(EnvelopeValueTest, TheEnvelopeMessageIsNeverReplacedFromThePayload) {
    // The data is text that looks like an envelope; as a decoded value it is not bytes.
    const auto envelope = decodeEnvelope<std::string>(
        R"({"statusCode":3,"message":"outer","data":"{\"statusCode\":1,\"message\":\"inner\"}"})");
    const auto error = envelope.envelopeError();
    EXPECT_EQ(error.code(), 3);
    EXPECT_EQ(error.message(), "outer");
    ASSERT_NE(std::any_cast<std::string>(&error.payload()), nullptr);
    EXPECT_EQ(std::any_cast<std::string>(error.payload()), R"({"statusCode":1,"message":"inner"})");
}

// ---- EKYCVoidResponse ----

TEST(EnvelopeVoidTest, StatusZeroSucceedsWithOrWithoutData) {
    for (const char* text :
         {R"({"statusCode":0})", R"({"statusCode":0,"data":null})", R"({"statusCode":0,"data":{}})",
          R"({"statusCode":0,"data":[1,"two",null]})", R"({"statusCode":0,"data":"text"})",
          R"({"statusCode":0,"data":false,"message":"done"})"}) {
        const auto envelope = decodeEnvelope<EKYCVoidResponse>(text);
        EXPECT_NO_THROW(envelope.value()) << text;
    }
}

TEST(EnvelopeVoidTest, NonZeroOrMissingStatusFails) {
    const auto failed =
        thrownError([] { decodeEnvelope<EKYCVoidResponse>(R"({"statusCode":1,"message":"no"})").value(); });
    EXPECT_EQ(failed.code(), 1);
    EXPECT_EQ(failed.message(), "no");

    const auto missing = thrownError([] { decodeEnvelope<EKYCVoidResponse>(R"({"data":{}})").value(); });
    EXPECT_EQ(missing.code(), -1000);
    EXPECT_FALSE(missing.message().has_value());
}

TEST(EnvelopeVoidTest, VoidDecodesFromAnyJSONValue) {
    for (const char* text : {"{}", "[]", "0", "\"x\"", "true", "null", R"({"a":[{"b":1}]})"}) {
        EXPECT_NO_THROW(JSONDecoder::shared()->decode<EKYCVoidResponse>(std::string_view(text))) << text;
    }
}

}  // namespace
}  // namespace ovira

// The records exchanged with the eKYC service, as the service decoder reads them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "api/EKYCBaseRepo.h"
#include "api/EKYCGender.h"
#include "api/EKYCIdentityDocument.h"
#include "api/EKYCLocation.h"
#include "api/EKYCServiceEnvironment.h"
#include "api/EKYCStep.h"
#include "api/EKYCSubmitInforRequest.h"
#include "api/EKYCVerification.h"
#include "ovira/EkycTypeDocument.h"
#include "ovira/MainBundle.h"

namespace ovira {
namespace {

using json = nlohmann::json;
using Field = EKYCInfomationDocument;

template <class T>
T decode(const json& value) {
    return EKYCBaseRepo::decoder().decode<T>(value.dump());
}

json field() {
    return json::parse(R"({"id":7,"cardAttributeId":70,"fieldName":"Họ và tên","fieldValue":"Trần Thị B",)"
                       R"("fieldType":"string","editable":true,"placeholder":"Nhập họ tên"})");
}

TEST(Verification, EveryMemberIsOptionalButTyped) {
    const auto empty = decode<EKYCVerification>(json::object());
    EXPECT_FALSE(empty.action || empty.requestId || empty.transactionId || empty.type);

    const auto snake = decode<EKYCVerification>(
        json::parse(R"({"action":null,"request_id":"r-1","transaction_id":42,"type":3,"extra":[]})"));
    EXPECT_FALSE(snake.action);
    EXPECT_EQ(snake.requestId, "r-1");
    EXPECT_EQ(snake.transactionId, 42);
    EXPECT_EQ(snake.type, 3);

    for (const json& bad :
         {json{{"transactionId", "42"}}, json{{"transactionId", 4.5}}, json{{"action", 1}}, json::array()}) {
        EXPECT_THROW(decode<EKYCVerification>(bad), DecodingError) << bad.dump();
    }
}

TEST(InformationField, DecodesTypesAndAnOptionalDateTypeAndEncodesBack) {
    const auto plain = decode<Field>(field());
    EXPECT_EQ(plain.fieldType, Field::FieldType::string);
    EXPECT_FALSE(plain.dateType);
    EXPECT_EQ(plain.fieldValue, "Trần Thị B");

    json dated = field();
    dated["field_type"] = "date";  // snake case is accepted too
    dated.erase("fieldType");
    dated["date_type"] = 1;
    const auto date = decode<Field>(dated);
    EXPECT_EQ(date.fieldType, Field::FieldType::date);
    EXPECT_EQ(date.dateType, Field::DateType::pass);

    for (const char* type : {"string", "number", "date", "country", "gender", "national"}) {
        json f = field();
        f["fieldType"] = type;
        EXPECT_EQ(rawValue(decode<Field>(f).fieldType), type);
    }

    // Encoding leaves out an absent dateType, and round-trips.
    const JSONEncoder encoder;
    EXPECT_FALSE(json::parse(asStringView(encoder.encode(plain))).contains("dateType"));
    auto feature = plain;
    feature.dateType = Field::DateType::feature;
    const json written = json::parse(asStringView(encoder.encode(feature)));
    EXPECT_EQ(written["dateType"], 2);
    EXPECT_EQ(written["cardAttributeId"], 70);
    EXPECT_EQ(written["fieldType"], "string");
    EXPECT_EQ(decode<Field>(written), feature);
}

TEST(InformationField, OneBadMemberFailsTheWholeDocument) {
    const std::vector<std::pair<std::string, json>> corruptions{
        {"fieldType", "String"}, {"fieldType", "email"}, {"dateType", 3}, {"dateType", "1"},
        {"fieldValue", nullptr}, {"editable", 1},        {"id", "7"},     {"cardAttributeId", 1.5},
        {"placeholder", false},
    };
    for (const auto& [key, value] : corruptions) {
        json document = {
            {"identityType", "CCCD"}, {"identityName", "Căn cước"}, {"form", {field(), field()}}};
        document["form"][1][key] = value;
        EXPECT_THROW(decode<EKYCIdentityDocument>(document), DecodingError) << key << "=" << value.dump();
    }
    json missing = field();
    missing.erase("placeholder");
    EXPECT_THROW(decode<Field>(missing), DecodingError);
    EXPECT_THROW(decode<EKYCIdentityDocument>({{"identityType", "x"}, {"form", json::array()}}),
                 DecodingError);

    const auto empty =
        decode<EKYCIdentityDocument>({{"identityType", "x"}, {"identityName", "y"}, {"form", json::array()}});
    EXPECT_TRUE(empty.form.empty());
}

TEST(SubmitRequest, CarriesTheFormAsEscapedJsonText) {
    EXPECT_EQ(asStringView(JSONEncoder::shared()->encode(EKYCSubmitInforRequest::make({}))),
              R"({"data":"[]"})");

    auto dated = decode<Field>(field());
    dated.dateType = Field::DateType::feature;
    const auto request = EKYCSubmitInforRequest::make({decode<Field>(field()), dated});
    const json inner = json::parse(request.data);
    ASSERT_TRUE(inner.is_array());
    EXPECT_FALSE(inner[0].contains("dateType"));
    EXPECT_EQ(inner[1]["dateType"], 2);
    EXPECT_EQ(inner[0]["cardAttributeId"], 70);  // keys as written, not snake case
    const std::string body(asStringView(JSONEncoder::shared()->encode(request)));
    EXPECT_EQ(body.rfind(R"({"data":"[{\")", 0), 0u) << body;

    auto unwritable = dated;
    unwritable.fieldValue = std::string("\xC3\x28", 2);  // not UTF-8
    EXPECT_THROW(EKYCSubmitInforRequest::make({unwritable}), EncodingError);
}

TEST(SmallTypes, LocationsGendersStepsAndDocumentKinds) {
    const auto list = decode<std::vector<EKYCLocation>>({{{"id", 704}, {"name", "Việt Nam"}}});
    EXPECT_EQ(list, (std::vector<EKYCLocation>{{704, "Việt Nam"}}));
    EXPECT_THROW(decode<std::vector<EKYCLocation>>({{{"id", 704}, {"name", "Việt Nam"}}, {{"id", 4}}}),
                 DecodingError);

    EXPECT_EQ(text(EKYCGender::male), "Nam");
    EXPECT_EQ(text(EKYCGender::female), "N\xE1\xBB\xAF");

    for (auto step : {EKYCStep::front, EKYCStep::back, EKYCStep::face}) {
        EXPECT_EQ(EKYCStepFromRawValue(rawValue(step)), step);
    }
    EXPECT_FALSE(EKYCStepFromRawValue("Front"));
    EXPECT_THROW(decode<EKYCStep>("side"), DecodingError);

    EXPECT_EQ(EkycTypeDocumentFromRawValue(2), EkycTypeDocument::licenseDriver);
    EXPECT_FALSE(EkycTypeDocumentFromRawValue(3));
    EXPECT_FALSE(EkycTypeDocumentFromRawValue(-1));
}

TEST(ServiceDecoder, ReadsServiceDatesInTheDeviceTimeZone) {
    struct Stamp {
        Date at;
        static Stamp decode(const DecodingValue& v) { return {v.decode<Date>("at")}; }
    };
    const auto stamp = decode<Stamp>({{"at", "20240131235959"}});
    EXPECT_EQ(formatServiceDate(stamp.at), "20240131235959");
    try {
        decode<Stamp>({{"at", "2024-01-31 23:59:59"}});
        ADD_FAILURE();
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.debugDescription(), "Invalid date: 2024-01-31 23:59:59");
    }
}

class Environment : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* key : {"EKYCServiceHost", "EKYCServiceCACertificate", "EKYCServicePinnedKeys"}) {
            MainBundle::main().setObject(key, nullptr);
        }
    }
};

TEST_F(Environment, ProductionUnlessTheSettingsNameAnotherHost) {
    EXPECT_EQ(EKYCServiceEnvironment::fromMainBundle().baseURL(), "https://api.ekyc.qorix.ai/v1/ekyc");
    EXPECT_FALSE(EKYCServiceEnvironment::fromMainBundle().needsOwnClient());

    MainBundle::main().setObject("EKYCServiceHost", "127.0.0.1:8443");
    MainBundle::main().setObject("EKYCServiceCACertificate", "/tmp/ca.pem");
    MainBundle::main().setObject("EKYCServicePinnedKeys", json::array({"sha256//abc", 5}));
    const auto dev = EKYCServiceEnvironment::fromMainBundle();
    EXPECT_EQ(dev.baseURL(), "https://127.0.0.1:8443/v1/ekyc");
    EXPECT_EQ(dev.clientConfiguration().additionalCACertificateFile, "/tmp/ca.pem");
    EXPECT_EQ(dev.clientConfiguration().pinnedPublicKeys, std::vector<std::string>{"sha256//abc"});

    for (const char* bad : {"host:0", "host:99999", "host:8a", "evil.com/path", "a b", "user@host"}) {
        MainBundle::main().setObject("EKYCServiceHost", bad);
        EXPECT_EQ(EKYCServiceEnvironment::fromMainBundle().baseURL(), "") << bad;
    }
}

}  // namespace
}  // namespace ovira

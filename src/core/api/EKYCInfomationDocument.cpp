#include "api/EKYCInfomationDocument.h"

#include <array>
#include <utility>

namespace ovira {
namespace {

using FieldType = EKYCInfomationDocument::FieldType;
using DateType = EKYCInfomationDocument::DateType;

constexpr std::array<std::pair<FieldType, std::string_view>, 6> kFieldTypes{{
    {FieldType::string, "string"},
    {FieldType::number, "number"},
    {FieldType::date, "date"},
    {FieldType::country, "country"},
    {FieldType::gender, "gender"},
    {FieldType::national, "national"},
}};

}  // namespace

std::string_view rawValue(FieldType type) {
    for (const auto& [candidate, name] : kFieldTypes) {
        if (candidate == type) return name;
    }
    return "string";
}

std::optional<FieldType> FieldTypeFromRawValue(std::string_view value) {
    for (const auto& [type, name] : kFieldTypes) {
        if (name == value) return type;
    }
    return std::nullopt;
}

std::optional<DateType> DateTypeFromRawValue(std::int64_t value) {
    if (value < 0 || value > 2) return std::nullopt;
    return static_cast<DateType>(value);
}

EKYCInfomationDocument EKYCInfomationDocument::decode(const DecodingValue& value) {
    EKYCInfomationDocument field;
    field.id = value.decode<std::int64_t>("id");
    field.cardAttributeId = value.decode<std::int64_t>("cardAttributeId");
    field.fieldName = value.decode<std::string>("fieldName");
    field.fieldValue = value.decode<std::string>("fieldValue");
    const DecodingValue type = value.member("fieldType");
    const std::string typeName = type.decodeString();
    const auto fieldType = FieldTypeFromRawValue(typeName);
    if (!fieldType)
        type.throwDataCorrupted("Cannot initialize FieldType from invalid String value " + typeName);
    field.fieldType = *fieldType;
    field.editable = value.decode<bool>("editable");
    field.placeholder = value.decode<std::string>("placeholder");
    if (const auto date = value.memberIfPresent("dateType")) {
        const std::int64_t number = date->decodeInt64();
        field.dateType = DateTypeFromRawValue(number);
        if (!field.dateType) {
            date->throwDataCorrupted("Cannot initialize DateType from invalid Int value " +
                                     std::to_string(number));
        }
    }
    return field;
}

void EKYCInfomationDocument::encode(EncodingValue& target) const {
    target.encode("id", id);
    target.encode("cardAttributeId", cardAttributeId);
    target.encode("fieldName", fieldName);
    target.encode("fieldValue", fieldValue);
    target.member("fieldType").encodeString(rawValue(fieldType));
    target.encode("editable", editable);
    target.encode("placeholder", placeholder);
    if (dateType) target.encode("dateType", static_cast<int>(*dateType));
}

}  // namespace ovira

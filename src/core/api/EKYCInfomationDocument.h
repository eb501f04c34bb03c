#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ovira/JSONDecoder.h"
#include "ovira/JSONEncoder.h"

namespace ovira {

// One field of the identity form the service read from the photographs.
// Every member is required except dateType; one bad field fails the whole
// document, so a form arrives complete or not at all.
struct EKYCInfomationDocument {
    // How the value is edited.
    enum class FieldType { string, number, date, country, gender, national };
    // Which dates a date field may take; absent behaves as normal.
    enum class DateType : int { normal = 0, pass = 1, feature = 2 };

    std::int64_t id = 0;
    std::int64_t cardAttributeId = 0;
    std::string fieldName;
    std::string fieldValue;
    FieldType fieldType = FieldType::string;
    bool editable = false;
    std::string placeholder;
    std::optional<DateType> dateType;

    static EKYCInfomationDocument decode(const DecodingValue& value);
    // An absent dateType leaves the member out (no null).
    void encode(EncodingValue& target) const;

    friend bool operator==(const EKYCInfomationDocument&, const EKYCInfomationDocument&) = default;
};

std::string_view rawValue(EKYCInfomationDocument::FieldType type);
std::optional<EKYCInfomationDocument::FieldType> FieldTypeFromRawValue(std::string_view rawValue);
std::optional<EKYCInfomationDocument::DateType> DateTypeFromRawValue(std::int64_t rawValue);

}  // namespace ovira

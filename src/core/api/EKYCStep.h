#pragma once

#include <optional>
#include <string_view>

#include "ovira/JSONDecoder.h"
#include "ovira/JSONEncoder.h"

namespace ovira {

// The capture step of a photograph; travels as its raw text.
enum class EKYCStep { front, back, face };

std::string_view rawValue(EKYCStep step);  // "front", "back", "face"
std::optional<EKYCStep> EKYCStepFromRawValue(std::string_view rawValue);

template <>
struct Decodable<EKYCStep> {
    static EKYCStep decode(const DecodingValue& value);
};
template <>
struct Encodable<EKYCStep> {
    static void encode(EKYCStep step, EncodingValue& target) { target.encodeString(rawValue(step)); }
};

}  // namespace ovira

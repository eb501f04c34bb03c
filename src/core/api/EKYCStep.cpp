#include "api/EKYCStep.h"

namespace ovira {

std::string_view rawValue(EKYCStep step) {
    switch (step) {
        case EKYCStep::front:
            return "front";
        case EKYCStep::back:
            return "back";
        case EKYCStep::face:
            return "face";
    }
    return "front";
}

std::optional<EKYCStep> EKYCStepFromRawValue(std::string_view value) {
    for (auto step : {EKYCStep::front, EKYCStep::back, EKYCStep::face}) {
        if (rawValue(step) == value) return step;
    }
    return std::nullopt;
}

EKYCStep Decodable<EKYCStep>::decode(const DecodingValue& value) {
    const std::string text = value.decodeString();
    if (auto step = EKYCStepFromRawValue(text)) return *step;
    value.throwDataCorrupted("Cannot initialize EKYCStep from invalid String value " + text);
}

}  // namespace ovira

#pragma once

#include <cstdint>
#include <string>

#include "ovira/JSONDecoder.h"
#include "ovira/JSONEncoder.h"

namespace ovira {

// One entry of the country or nationality list.
struct EKYCLocation {
    std::int64_t id = 0;
    std::string name;

    static EKYCLocation decode(const DecodingValue& value);
    void encode(EncodingValue& target) const;

    friend bool operator==(const EKYCLocation&, const EKYCLocation&) = default;
};

}  // namespace ovira

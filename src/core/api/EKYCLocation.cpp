#include "api/EKYCLocation.h"

namespace ovira {

EKYCLocation EKYCLocation::decode(const DecodingValue& value) {
    return EKYCLocation{value.decode<std::int64_t>("id"), value.decode<std::string>("name")};
}

void EKYCLocation::encode(EncodingValue& target) const {
    target.encode("id", id);
    target.encode("name", name);
}

}  // namespace ovira

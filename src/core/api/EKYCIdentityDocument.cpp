#include "api/EKYCIdentityDocument.h"

namespace ovira {

EKYCIdentityDocument EKYCIdentityDocument::decode(const DecodingValue& value) {
    return EKYCIdentityDocument{value.decode<std::string>("identityType"),
                                value.decode<std::string>("identityName"),
                                value.decode<std::vector<EKYCInfomationDocument>>("form")};
}

void EKYCIdentityDocument::encode(EncodingValue& target) const {
    target.encode("identityType", identityType);
    target.encode("identityName", identityName);
    target.encode("form", form);
}

}  // namespace ovira

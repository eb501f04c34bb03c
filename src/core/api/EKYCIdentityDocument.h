#pragma once

#include <string>
#include <vector>

#include "api/EKYCInfomationDocument.h"

namespace ovira {

// The identity form: the document kind, its display name and the fields in
// display order.
struct EKYCIdentityDocument {
    std::string identityType;
    std::string identityName;
    std::vector<EKYCInfomationDocument> form;

    static EKYCIdentityDocument decode(const DecodingValue& value);
    void encode(EncodingValue& target) const;
};

}  // namespace ovira

#pragma once

#include <string>
#include <vector>

#include "api/EKYCInfomationDocument.h"

namespace ovira {

// The body of the submission: the edited fields as the text of a JSON array,
// carried inside a JSON object ({"data": "[{...}]"}).
struct EKYCSubmitInforRequest {
    std::string data;

    // Encodes the fields with a plain encoder (keys as they are, no
    // conversion); throws EncodingError when a field cannot be written.
    static EKYCSubmitInforRequest make(const std::vector<EKYCInfomationDocument>& form);
    void encode(EncodingValue& target) const { target.encode("data", data); }
};

}  // namespace ovira

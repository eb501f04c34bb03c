#include "api/EKYCSubmitInforRequest.h"

namespace ovira {

EKYCSubmitInforRequest EKYCSubmitInforRequest::make(const std::vector<EKYCInfomationDocument>& form) {
    const JSONEncoder plain;  // keys exactly as written, no snake case
    const Data text = plain.encode(form);
    return EKYCSubmitInforRequest{utf8String(text).value_or("")};
}

}  // namespace ovira

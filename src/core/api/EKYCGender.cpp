#include "api/EKYCGender.h"

namespace ovira {

std::string_view text(EKYCGender gender) {
    return gender == EKYCGender::male ? "Nam" : "N\u1EEF";
}

}  // namespace ovira

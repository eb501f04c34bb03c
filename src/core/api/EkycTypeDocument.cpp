#include "ovira/EkycTypeDocument.h"

namespace ovira {

std::optional<EkycTypeDocument> EkycTypeDocumentFromRawValue(int rawValue) {
    if (rawValue < 0 || rawValue > 2) return std::nullopt;
    return static_cast<EkycTypeDocument>(rawValue);
}

}  // namespace ovira

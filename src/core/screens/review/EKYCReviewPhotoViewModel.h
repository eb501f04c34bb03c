#pragma once

#include <string>

#include "api/EKYCStep.h"
#include "ovira/EkycTypeDocument.h"
#include "platform/Image.h"

namespace ovira {

// The key of the title that names a photograph: its side, the passport page, or the face.
const char* photographTitleKey(EKYCStep step, EkycTypeDocument type);

// One accepted photograph with what it shows.
struct EKYCReviewPhotoViewModel {
    ImagePtr image;
    EkycTypeDocument type = EkycTypeDocument::idCard;
    EKYCStep step = EKYCStep::front;

    std::string title() const;
};

}  // namespace ovira

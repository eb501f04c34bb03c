#pragma once

#include <string>

#include "api/EKYCStep.h"
#include "ovira/EkycTypeDocument.h"
#include "platform/Image.h"
#include "screens/base/EKYCBaseViewModel.h"
#include "screens/review/EKYCReviewPhotoViewModel.h"

namespace ovira {

// A photograph the service turned down, with its reason.
class EKYCPreviewPhotoErrorViewModel : public EKYCBaseViewModel {
public:
    EKYCPreviewPhotoErrorViewModel(ImagePtr rejected, std::string message, EKYCStep capturedStep,
                                   EkycTypeDocument type)
        : image(std::move(rejected)),
          errorMessage(std::move(message)),
          step(capturedStep),
          typeDocument(type) {}

    const ImagePtr image;
    const std::string errorMessage;  // empty when the service gave no reason
    const EKYCStep step;
    const EkycTypeDocument typeDocument;

    const char* titleKey() const { return photographTitleKey(step, typeDocument); }
    // The face guide for the face, the document guide for everything else.
    bool showsFaceGuide() const { return step == EKYCStep::face; }
};

}  // namespace ovira

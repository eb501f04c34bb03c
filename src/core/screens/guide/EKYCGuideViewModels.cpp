#include "resources/EKYCTranslationService.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewModel.h"
#include "screens/guide/EKYCGuideFaceViewModel.h"

namespace ovira {

EKYCGuideCaptureDocumentViewModel::EKYCGuideCaptureDocumentViewModel()
    : items{localized("guide.note_document"), localized("guide.note_thelight"),
            localized("guide.note_blur")} {}

// The asset names with a space after the underscore are the assets' real names.
EKYCGuideFaceViewModel::EKYCGuideFaceViewModel()
    : items{{"img_sun", localized("guide.environment"), "ic_verify"},
            {"img_person_ glasses", localized("guide.wear_glasses"), "ic_ unverified"},
            {"img_person_face_mask", localized("guide.face_mask"), "ic_ unverified"}} {}

}  // namespace ovira

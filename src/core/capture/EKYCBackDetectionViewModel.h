#pragma once

#include "api/EKYCStep.h"
#include "capture/EKYCBaseDetectionViewModel.h"

namespace ovira {

// The document's back (identity card and driving licence).
class EKYCBackDetectionViewModel : public EKYCBaseDetectionViewModel {
public:
    EKYCBackDetectionViewModel(EkycTypeDocument type, EKYCImages accepted,
                               EKYCDetectionServices services = {})
        : EKYCBaseDetectionViewModel(type, std::move(accepted), std::move(services)) {}

    // Every photograph accepted so far; the step is always empty.
    PassthroughSubject<std::pair<std::optional<EKYCStep>, EKYCImages>> nextStep;

    void uploadBackSide(const ImagePtr& image);

protected:
    void uploadImage(const ImagePtr& image) override { uploadBackSide(image); }
};

}  // namespace ovira

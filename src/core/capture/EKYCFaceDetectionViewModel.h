#pragma once

#include "api/EKYCStep.h"
#include "capture/EKYCBaseDetectionViewModel.h"

namespace ovira {

// The user's face: the last photograph of every flow.
class EKYCFaceDetectionViewModel : public EKYCBaseDetectionViewModel {
public:
    EKYCFaceDetectionViewModel(EkycTypeDocument type, EKYCImages accepted,
                               EKYCDetectionServices services = {})
        : EKYCBaseDetectionViewModel(type, std::move(accepted), std::move(services)) {}

    // Every photograph accepted so far; the step is always empty.
    PassthroughSubject<std::pair<std::optional<EKYCStep>, EKYCImages>> nextStep;

    void uploadFacePhoto(const ImagePtr& image);
    bool isDocument() const override { return false; }

protected:
    void uploadImage(const ImagePtr& image) override { uploadFacePhoto(image); }
};

}  // namespace ovira

#pragma once

#include "api/EKYCStep.h"
#include "capture/EKYCBaseDetectionViewModel.h"

namespace ovira {

// The document's front, or the passport's photo page.
class EKYCFrontDetectionViewModel : public EKYCBaseDetectionViewModel {
public:
    EKYCFrontDetectionViewModel(EkycTypeDocument type, EKYCImages accepted,
                                EKYCDetectionServices services = {})
        : EKYCBaseDetectionViewModel(type, std::move(accepted), std::move(services)) {}

    // The step that follows (`back`, or `face` after a passport page) with
    // every photograph accepted so far.
    PassthroughSubject<std::pair<EKYCStep, EKYCImages>> nextStep;

    void uploadFrontSide(const ImagePtr& image, EkycTypeDocument type);
    void uploadPassportPage(const ImagePtr& image);

protected:
    void uploadImage(const ImagePtr& image) override;
};

}  // namespace ovira

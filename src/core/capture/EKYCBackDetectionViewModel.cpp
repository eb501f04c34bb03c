#include "capture/EKYCBackDetectionViewModel.h"

namespace ovira {

void EKYCBackDetectionViewModel::uploadBackSide(const ImagePtr& image) {
    upload(
        image, "back",
        [type = typeDocument](IEKYCRepo& service, const auto& file) {
            service.uploadDocument(type, EKYCStep::back, file);
        },
        [this] {
            nextStep.send({std::nullopt, images});
        });
}

}  // namespace ovira

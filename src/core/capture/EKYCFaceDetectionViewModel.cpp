#include "capture/EKYCFaceDetectionViewModel.h"

namespace ovira {

void EKYCFaceDetectionViewModel::uploadFacePhoto(const ImagePtr& image) {
    upload(
        image, "face", [](IEKYCRepo& service, const auto& file) { service.uploadFace(file); },
        [this] {
            nextStep.send({std::nullopt, images});
        });
}

}  // namespace ovira

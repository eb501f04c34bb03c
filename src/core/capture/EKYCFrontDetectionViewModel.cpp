#include "capture/EKYCFrontDetectionViewModel.h"

namespace ovira {

void EKYCFrontDetectionViewModel::uploadImage(const ImagePtr& image) {
    if (typeDocument == EkycTypeDocument::passport) {
        uploadPassportPage(image);
    } else {
        uploadFrontSide(image, typeDocument);
    }
}

void EKYCFrontDetectionViewModel::uploadFrontSide(const ImagePtr& image, EkycTypeDocument type) {
    upload(
        image, "front",
        [type](IEKYCRepo& service, const auto& file) { service.uploadDocument(type, EKYCStep::front, file); },
        [this] {
            nextStep.send({EKYCStep::back, images});
        });
}

void EKYCFrontDetectionViewModel::uploadPassportPage(const ImagePtr& image) {
    upload(
        image, "front", [](IEKYCRepo& service, const auto& file) { service.uploadPassport(file); },
        [this] {
            nextStep.send({EKYCStep::face, images});
        });
}

}  // namespace ovira

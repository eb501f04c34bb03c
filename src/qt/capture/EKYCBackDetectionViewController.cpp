#include "capture/EKYCBackDetectionViewController.h"

#include "capture/EKYCFaceDetectionViewController.h"
#include "resources/Localized.h"
#include "ui/controller/NavigationController.h"

namespace ovira {

EKYCBackDetectionViewController::EKYCBackDetectionViewController(QWidget* parent)
    : EKYCBaseDetectionViewController(EKYCCameraType::card, parent) {}

std::optional<QString> EKYCBackDetectionViewController::captureTitle() {
    return localizedText("capture.back");
}

void EKYCBackDetectionViewController::bindViewModel() {
    EKYCBaseDetectionViewController::bindViewModel();
    QPointer<EKYCBackDetectionViewController> screen(this);
    viewModel()
        .nextStep
        .sink([screen](const std::pair<std::optional<EKYCStep>, EKYCImages>& next) {
            react(screen, [images = next.second](EKYCBackDetectionViewController& self) {
                self.pushFaceDetection(images);
            });
        })
        .store(subscriptions);
}

void EKYCBackDetectionViewController::pushFaceDetection(const EKYCImages& images) {
    auto* navigation = navigationController();
    if (!navigation) return;
    auto* face = new EKYCFaceDetectionViewController;
    face->setViewModel(makeViewModel<EKYCFaceDetectionViewModel>(viewModel().typeDocument, images));
    navigation->pushViewController(face, true);
}

}  // namespace ovira

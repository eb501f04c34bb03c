#include "capture/EKYCFaceDetectionViewController.h"

#include "resources/Localized.h"
#include "screens/confirm/EKYCConfirmViewController.h"
#include "ui/controller/NavigationController.h"

namespace ovira {

EKYCFaceDetectionViewController::EKYCFaceDetectionViewController(QWidget* parent)
    : EKYCBaseDetectionViewController(EKYCCameraType::face, parent) {}

std::optional<QString> EKYCFaceDetectionViewController::captureTitle() {
    return localizedText("capture.face");
}

void EKYCFaceDetectionViewController::bindViewModel() {
    EKYCBaseDetectionViewController::bindViewModel();
    QPointer<EKYCFaceDetectionViewController> screen(this);
    viewModel()
        .nextStep
        .sink([screen](const std::pair<std::optional<EKYCStep>, EKYCImages>& next) {
            react(screen, [images = next.second](EKYCFaceDetectionViewController& self) {
                self.pushConfirm(images);
            });
        })
        .store(subscriptions);
}

void EKYCFaceDetectionViewController::pushConfirm(const EKYCImages& images) {
    auto* navigation = navigationController();
    if (!navigation) return;
    auto* confirm = new EKYCConfirmViewController;
    confirm->setViewModel(makeViewModel<EKYCConfirmViewModel>(viewModel().typeDocument, images));
    navigation->pushViewController(confirm, true);
}

}  // namespace ovira

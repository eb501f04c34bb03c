#include "capture/EKYCFrontDetectionViewController.h"

#include "capture/EKYCBackDetectionViewController.h"
#include "capture/EKYCFaceDetectionViewController.h"
#include "resources/Localized.h"
#include "ui/controller/NavigationController.h"

namespace ovira {

EKYCFrontDetectionViewController::EKYCFrontDetectionViewController(QWidget* parent)
    : EKYCBaseDetectionViewController(EKYCCameraType::card, parent) {}

std::optional<QString> EKYCFrontDetectionViewController::captureTitle() {
    return localizedText(viewModel().typeDocument == EkycTypeDocument::passport ? "capture.passport"
                                                                                : "capture.front");
}

void EKYCFrontDetectionViewController::bindViewModel() {
    EKYCBaseDetectionViewController::bindViewModel();
    QPointer<EKYCFrontDetectionViewController> screen(this);
    viewModel()
        .nextStep
        .sink([screen](const std::pair<EKYCStep, EKYCImages>& next) {
            react(screen, [next](EKYCFrontDetectionViewController& self) {
                switch (next.first) {
                    case EKYCStep::front:
                        break;
                    case EKYCStep::back:
                        self.pushBackDetection(next.second);
                        break;
                    case EKYCStep::face:
                        self.pushFaceDetection(next.second);
                        break;
                }
            });
        })
        .store(subscriptions);
}

void EKYCFrontDetectionViewController::pushBackDetection(const EKYCImages& images) {
    auto* navigation = navigationController();
    if (!navigation) return;
    auto* back = new EKYCBackDetectionViewController;
    back->setViewModel(makeViewModel<EKYCBackDetectionViewModel>(viewModel().typeDocument, images));
    navigation->pushViewController(back, true);
}

void EKYCFrontDetectionViewController::pushFaceDetection(const EKYCImages& images) {
    auto* navigation = navigationController();
    if (!navigation) return;
    auto* face = new EKYCFaceDetectionViewController;
    face->setViewModel(makeViewModel<EKYCFaceDetectionViewModel>(viewModel().typeDocument, images));
    navigation->pushViewController(face, true);
}

}  // namespace ovira

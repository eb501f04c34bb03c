#include "capture/CaptureScreens.h"

#include "capture/EKYCFrontDetectionViewController.h"
#include "capture/EKYCQtCameraAuthorization.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "ui/controller/NavigationController.h"

namespace ovira {

void installCaptureScreens() {
    EKYCQtCameraAuthorization::installDefault();
    EKYCIntroduceViewController::setCaptureOpener(
        [](EKYCIntroduceViewController& introduce, EkycTypeDocument kind) {
            auto* navigation = introduce.navigationController();
            if (!navigation) return;
            auto* front = new EKYCFrontDetectionViewController;
            front->setViewModel(makeViewModel<EKYCFrontDetectionViewModel>(kind, EKYCImages{}));
            navigation->pushViewController(front, true);
        });
}

}  // namespace ovira

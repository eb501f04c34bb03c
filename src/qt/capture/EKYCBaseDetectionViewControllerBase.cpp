#include "capture/EKYCBaseDetectionViewControllerBase.h"

#include <QCoreApplication>
#include <QEvent>

#include "capture/EKYCQtCameraAuthorization.h"
#include "ovira/OVIRACameraSettings.h"
#include "resources/EKYCImage.h"
#include "resources/Localized.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "sdk/EKYCFlowReport.h"
#include "ui/alert/AlertBuilder.h"
#include "ui/alert/AlertController.h"
#include "ui/alert/DialogBuilder.h"
#include "ui/controller/NavigationBar.h"
#include "ui/controller/NavigationController.h"
#include "ui/view/ViewStyle.h"
#include "vision/EKYCCardExaminer.h"
#include "vision/EKYCGuardedFaceDetector.h"

namespace ovira {

EKYCBaseDetectionViewControllerBase::EKYCBaseDetectionViewControllerBase(EKYCCameraType type, QWidget* parent)
    : EKYCBaseViewControllerBase(parent),
      accessoryView(new EKYCAccessoryCameraView(this)),
      previewCamera(new EKYCCameraView(type, nullptr, this)),
      cameraType(type) {
    connect(accessoryView, &EKYCAccessoryCameraView::freeAreaChanged, this,
            &EKYCBaseDetectionViewControllerBase::updateWindowArea);
}

EKYCBaseDetectionViewControllerBase::~EKYCBaseDetectionViewControllerBase() {
    cameraService().setDelegate(nullptr);
    cameraService().stopRunning();
}

EKYCCameraAuthorization& EKYCBaseDetectionViewControllerBase::cameraAuthorization() {
    if (!EKYCCameraAuthorization::shared()) EKYCQtCameraAuthorization::installDefault();
    return *EKYCCameraAuthorization::shared();
}

void EKYCBaseDetectionViewControllerBase::postToGui(std::function<void()> task) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

// Load

std::optional<OVIRAFlowStep> EKYCBaseDetectionViewControllerBase::flowStep() const {
    switch (captureStep()) {
        case EKYCStep::front:
            return detectionViewModel().typeDocument == EkycTypeDocument::passport
                       ? OVIRAFlowStep::capturePassport
                       : OVIRAFlowStep::captureFront;
        case EKYCStep::back:
            return OVIRAFlowStep::captureBack;
        case EKYCStep::face:
            return OVIRAFlowStep::captureFace;
    }
    return std::nullopt;
}

void EKYCBaseDetectionViewControllerBase::viewDidLoad() {
    EKYCBaseViewControllerBase::viewDidLoad();
    accessoryView->setDelegate(this);
}

void EKYCBaseDetectionViewControllerBase::setupUI() {
    EKYCBaseViewControllerBase::setupUI();
    setBackgroundColor(this, Qt::black);
    previewCamera->setAccessibleName(
        accessibleText(cameraType == EKYCCameraType::card ? "a11y.camera_card" : "a11y.camera_face"));
    // The preview at the bottom, the controls over it.
    previewCamera->raise();
    accessoryView->raise();
    setupConstraints();
}

// The camera takes the whole screen; the controls start below what covers
// its top edge (the safe area). Runs again on every change of either.
void EKYCBaseDetectionViewControllerBase::setupConstraints() {
    const int top = safeAreaInsets().top();
    previewCamera->setGeometry(rect());
    accessoryView->setGeometry(0, top, width(), std::max(0, height() - top));
    updateWindowArea();
}

// The camera's window keeps clear of the controls (title, guide, shutter).
void EKYCBaseDetectionViewControllerBase::updateWindowArea() {
    const QRect band = accessoryView->freeArea();
    // A control shown or hidden leaves the controls' layout to be done again
    // at the next turn: measured then, where the controls will stand.
    if (band.isNull() && accessoryView->isVisible() && accessoryView->layout() &&
        accessoryView->layout()->geometry() != accessoryView->rect())
        QMetaObject::invokeMethod(this, &EKYCBaseDetectionViewControllerBase::updateWindowArea,
                                  Qt::QueuedConnection);
    previewCamera->setControlsFreeArea(
        band.isNull() ? QRectF() : QRectF(band.translated(accessoryView->pos() - previewCamera->pos())));
}

void EKYCBaseDetectionViewControllerBase::resizeEvent(QResizeEvent* event) {
    EKYCBaseViewControllerBase::resizeEvent(event);
    setupConstraints();
}

void EKYCBaseDetectionViewControllerBase::changeEvent(QEvent* event) {
    EKYCBaseViewControllerBase::changeEvent(event);
    if (event->type() == QEvent::ContentsRectChange) setupConstraints();
}

void EKYCBaseDetectionViewControllerBase::bindViewModel() {
    EKYCBaseViewControllerBase::bindViewModel();
    auto& model = detectionViewModel();
    // Photographs the service would refuse are refused here, without the
    // round trip. The still's detector is its own: the live one is busy on
    // the detection thread.
    if (!model.hasStillCheck())
        model.setStillCheck(std::make_shared<EKYCStillCheck>(vision::makeDefaultDocumentExaminer(),
                                                             std::make_shared<vision::EKYCGuardedFaceDetector>()));
    QPointer<EKYCBaseDetectionViewControllerBase> screen(this);
    model.errorPublisher
        .sink([screen](const std::pair<ImagePtr, std::optional<std::string>>& rejection) {
            react(screen, [rejection](EKYCBaseDetectionViewControllerBase& self) {
                self.showPreviewError(rejection.first, rejection.second);
            });
        })
        .store(subscriptions);
    model.connectionPublisher
        .sink([screen](Void) {
            react(screen, [](EKYCBaseDetectionViewControllerBase& self) { self.showDisconnectAlert(); });
        })
        .store(subscriptions);
}

// Appearance: the camera runs only while the screen shows.

void EKYCBaseDetectionViewControllerBase::viewWillAppear(bool animated) {
    EKYCBaseViewControllerBase::viewWillAppear(animated);
    QPointer<EKYCBaseDetectionViewControllerBase> screen(this);
    checkCameraPermission(*this, cameraAuthorization().status(), [screen] {
        if (screen) screen->startCameraIfShowing();
    });
    if (auto* navigation = navigationController()) navigation->navigationBar()->hide();
    // Back on the screen, the face check's next verdict is news again, and
    // the guidance and the automatic capture start over.
    accessoryView->faceStatus->clear();
    accessoryView->clearGuidance();
    previewCamera->setCardPlaced(false);
    autoCapture_.reset();
    shownFor_.start();
}

// Access may be granted after the screen has already gone again.
void EKYCBaseDetectionViewControllerBase::startCameraIfShowing() {
    if (appearance() != Appearance::appearing && appearance() != Appearance::appeared) return;
    cameraService().setDelegate(this);
    cameraService().startCamera();
}

// The screens that follow have their bar.
void EKYCBaseDetectionViewControllerBase::viewWillDisappear(bool animated) {
    EKYCBaseViewControllerBase::viewWillDisappear(animated);
    if (auto* navigation = navigationController()) navigation->navigationBar()->setVisible(true);
}

void EKYCBaseDetectionViewControllerBase::viewDidDisappear(bool animated) {
    EKYCBaseViewControllerBase::viewDidDisappear(animated);
    cameraService().stopRunning();
    cameraService().setDelegate(nullptr);
}

void EKYCBaseDetectionViewControllerBase::checkCameraPermission(ViewController& presenter,
                                                                EKYCCameraAuthorizationStatus status,
                                                                std::function<void()> onGranted) {
    switch (status) {
        case EKYCCameraAuthorizationStatus::notDetermined:
            cameraAuthorization().requestAccess([onGranted](bool granted) {
                if (granted) postToGui(onGranted);
            });
            return;
        case EKYCCameraAuthorizationStatus::authorized:
            EKYCFlowReport::shared().recovered();
            postToGui(std::move(onGranted));
            return;
        case EKYCCameraAuthorizationStatus::restricted:
        case EKYCCameraAuthorizationStatus::denied:
            break;
    }
    // Without the camera the flow cannot go on: should the user leave, the host hears why.
    const bool denied = status == EKYCCameraAuthorizationStatus::denied;
    EKYCFlowReport::shared().failed(EKYCAPIError(
        kCameraErrorDomain, denied ? kCameraAccessDenied : kCameraAccessRestricted,
        {{kLocalizedDescriptionKey, denied ? "The user denied access to the camera."
                                           : "Access to the camera is restricted on this device."}}));
    QPointer<ViewController> screen(&presenter);
    auto* dialog = DialogBuilder()
                       .title(localizedText("common.permission_title"))
                       .message(localizedText("common.permission"))
                       .addAction({localizedText("common.out"), AlertAction::Style::cancel},
                                  [screen](AlertController* alert) {
                                      alert->dismiss(true);
                                      if (!screen) return;
                                      if (auto* navigation = screen->navigationController())
                                          navigation->popToRootViewController(true);
                                  })
                       .addAction({localizedText("common.setting"), AlertAction::Style::defaultStyle},
                                  [](AlertController* alert) {
                                      alert->dismiss(true);
                                      cameraAuthorization().openSettings();
                                  })
                       .build();
    presenter.present(dialog, true);
}

// The controls

void EKYCBaseDetectionViewControllerBase::didSelectGuide() {
    if (cameraType == EKYCCameraType::card)
        showDocumentGuide();
    else
        showFaceGuide();
}

void EKYCBaseDetectionViewControllerBase::didSelectClose() {
    confirmClose();
}

void EKYCBaseDetectionViewControllerBase::didToggleFlash(bool isOn) {
    if (cameraType == EKYCCameraType::card) cameraService().setTorch(isOn);
}

void EKYCBaseDetectionViewControllerBase::didSelectCapture() {
    takePhoto(false);
}

void EKYCBaseDetectionViewControllerBase::takePhoto(bool automatic) {
    // Without a running camera (no access, no device) no photograph would
    // ever come to take the overlay down again.
    if (!cameraService().isRunning()) return;
    {
        std::lock_guard lock(contextMutex_);
        context_ = {flowStep().value_or(OVIRAFlowStep::captureFront), automatic, secondsShown()};
    }
    // Whoever takes it, the countdown is over.
    if (!automatic) autoCapture_.stop();
    accessoryView->showCountdown(0);
    setLoading(true);
    cameraService().capturePhoto();
}

void EKYCBaseDetectionViewControllerBase::didSelectStopAutoCapture() {
    autoCapture_.stop();
    accessoryView->showCountdown(0);
    accessoryView->announceAutoCaptureStopped();
}

void EKYCBaseDetectionViewControllerBase::didSelectSwitchCamera() {
    cameraService().switchCamera(previewCamera);
}

// The camera

void EKYCBaseDetectionViewControllerBase::didCaptureImage(ImagePtr image) {
    handleCapturedImage(image);
}

void EKYCBaseDetectionViewControllerBase::handleCapturedImage(const ImagePtr& image) {
    detectionViewModel().verifyImage(image);
}

std::function<void()> EKYCBaseDetectionViewControllerBase::workForCapturedImage(ImagePtr image) {
    // The view model, shared with the screen, judges the photograph; its
    // events reach the screen only while the screen exists.
    auto& detection = detectionViewModel();
    std::shared_ptr<EKYCBaseDetectionViewModel> model(detection.shared_from_this(), &detection);
    EKYCCaptureContext context;
    {
        std::lock_guard lock(contextMutex_);
        context = context_;
    }
    return [model = std::move(model), image = std::move(image), context] { model->verifyImage(image, context); };
}

void EKYCBaseDetectionViewControllerBase::didValidateFace(bool isValid) {
    previewCamera->setFocusValid(isValid);
    // The circle's colour shows the verdict; screen readers hear it.
    accessoryView->showFaceCheck(isValid);
}

// The hint follows every examined frame; the automatic capture fires when
// the guidance has been ready long enough and the capture button would
// work (on the face screen: the face inside the circle).
void EKYCBaseDetectionViewControllerBase::didUpdateGuidance(const EKYCGuidance& guidance) {
    accessoryView->showGuidance(guidance);
    if (cameraType == EKYCCameraType::card) previewCamera->setCardPlaced(guidance.wellPlaced);
    if (!OVIRACameraSettings::autoCapture() || isLoading() || presentedViewController()) return;
    const bool ready = guidance.isReady() && accessoryView->btnCapture->isEnabled() && cameraService().isRunning();
    const bool fire = autoCapture_.update(ready, secondsShown());
    accessoryView->showCountdown(autoCapture_.secondsLeft());
    if (fire) takePhoto(true);
}

// Nothing to judge: the user gets the live picture back to try again.
void EKYCBaseDetectionViewControllerBase::didFailCapture() {
    setLoading(false);
    autoCapture_.reset();
    cameraService().startRunning();
}

// Outcomes

void EKYCBaseDetectionViewControllerBase::showDisconnectAlert() {
    QPointer<EKYCBaseDetectionViewControllerBase> screen(this);
    auto* alert = AlertBuilder()
                      .image(ImageAsset::image(QStringLiteral("ic_disconnect")))
                      .title(localizedText("common.noti"))
                      .message(localizedText("common.noti_disconect"))
                      .action({localizedText("common.close"), AlertAction::Style::cancel},
                              [screen](AlertController* presented) {
                                  presented->dismiss(true);
                                  if (!screen) return;
                                  screen->autoCapture_.reset();
                                  screen->cameraService().startRunning();
                                  screen->setLoading(false);
                              })
                      .build();
    present(alert, true);
}

void EKYCBaseDetectionViewControllerBase::showPreviewError(const ImagePtr& image,
                                                           const std::optional<std::string>& message) {
    auto* navigation = navigationController();
    if (!navigation) return;
    auto* rejected = new EKYCPreviewPhotoErrorViewController;
    rejected->setViewModel(makeViewModel<EKYCPreviewPhotoErrorViewModel>(
        image, message.value_or(std::string()), captureStep(), detectionViewModel().typeDocument));
    navigation->pushViewController(rejected, true);
}

void EKYCBaseDetectionViewControllerBase::showDocumentGuide() {
    EKYCGuideCaptureDocumentViewController::show(*this);
}

void EKYCBaseDetectionViewControllerBase::showFaceGuide() {
    EKYCGuideFaceViewController::show(*this);
}

}  // namespace ovira

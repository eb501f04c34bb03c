#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "api/EKYCStep.h"
#include "capture/EKYCAccessoryCameraView.h"
#include "capture/EKYCAccessoryCameraViewViewDelegate.h"
#include "capture/EKYCAutoCapture.h"
#include "capture/EKYCBaseDetectionViewModel.h"
#include "capture/EKYCCameraAuthorization.h"
#include "capture/EKYCCameraDetectionServiceDelegate.h"
#include "capture/EKYCCameraType.h"
#include "capture/EKYCCameraView.h"
#include "screens/base/EKYCBaseViewControllerBase.h"

namespace ovira {

// What every capture screen shares, whatever its view model: the camera
// under its overlay and the controls above it, camera access, the camera
// running while the screen shows, the photograph handed to the view model
// with the loading overlay up, and the reactions to a rejection or a lost
// connection, the live guidance (its hint, the card window's corners) and
// the automatic capture when the host turned it on. Screens derive from
// EKYCBaseDetectionViewController<VM>.
//
// Threads: GUI thread, except didCaptureImage(), handleCapturedImage() and
// workForCapturedImage(), which run on the camera's capture thread; the
// upload runs there too, holding the view model rather than the screen, so
// that closing the screen meanwhile never waits for it. The view
// model's events arrive on that thread; the screen reacts on the GUI thread.
class EKYCBaseDetectionViewControllerBase : public EKYCBaseViewControllerBase,
                                            public EKYCAccessoryCameraViewViewDelegate,
                                            public EKYCCameraDetectionServiceDelegate {
    Q_OBJECT
public:
    // The capture step of this screen: front, back, passport or face.
    std::optional<OVIRAFlowStep> flowStep() const override;
    EKYCBaseDetectionViewControllerBase(EKYCCameraType type, QWidget* parent = nullptr);
    // Waits for a photograph being handed over, so that it never reaches a
    // screen half destroyed.
    ~EKYCBaseDetectionViewControllerBase() override;

    EKYCAccessoryCameraView* const accessoryView;
    EKYCCameraView* const previewCamera;
    const EKYCCameraType cameraType;

    EKYCCameraDetectionService& cameraService() const { return *previewCamera->cameraService(); }
    // The screen's view model, whatever its type.
    virtual EKYCBaseDetectionViewModel& detectionViewModel() const = 0;
    // The step a photograph of this screen is, for the rejection screen.
    virtual EKYCStep captureStep() const = 0;

    virtual void setupConstraints();
    virtual void showDisconnectAlert();
    virtual void showDocumentGuide();
    virtual void showFaceGuide();
    virtual void showPreviewError(const ImagePtr& image, const std::optional<std::string>& message);
    // The screen's title; none here.
    std::optional<QString> captureTitle() override { return std::nullopt; }
    // Capture thread: has the view model judge the photograph.
    virtual void handleCapturedImage(const ImagePtr& image);

    // Granted: `onGranted` runs later on the GUI thread. Not determined: the
    // user is asked, and `onGranted` runs on the GUI thread if they agree.
    // Restricted or denied: the dialog that leads out of the flow or to the
    // host's settings page.
    static void checkCameraPermission(ViewController& screen, EKYCCameraAuthorizationStatus status,
                                      std::function<void()> onGranted);
    // The installed camera authorisation, the platform's default when none is.
    static EKYCCameraAuthorization& cameraAuthorization();

    // The controls' delegate.
    void didSelectGuide() override;
    void didSelectClose() override;
    void didToggleFlash(bool isOn) override;
    void didSelectCapture() override;
    void didSelectSwitchCamera() override;
    void didSelectStopAutoCapture() override;
    bool isCardMode() override { return cameraType == EKYCCameraType::card; }

    // The camera's delegate.
    void didCaptureImage(ImagePtr image) override;
    std::function<void()> workForCapturedImage(ImagePtr image) override;
    void didValidateFace(bool isValid) override;
    void didUpdateGuidance(const EKYCGuidance& guidance) override;
    void didFailCapture() override;

    // The automatic capture as it stands (waiting, counting down, ...).
    const EKYCAutoCapture& autoCapture() const { return autoCapture_; }

protected:
    void viewDidLoad() override;
    void setupUI() override;
    void bindViewModel() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Runs `reaction` on the GUI thread if the screen still exists then;
    // from any thread.
    template <class Screen, class Reaction>
    static void react(QPointer<Screen> screen, Reaction reaction) {
        postToGui([screen, reaction = std::move(reaction)] {
            if (screen) reaction(*screen);
        });
    }

private:
    // The photograph, asked for by the user or by the automatic capture.
    void takePhoto(bool automatic);
    // Seconds since the screen last began to show.
    double secondsShown() const { return shownFor_.isValid() ? shownFor_.elapsed() / 1000.0 : 0; }
    void updateWindowArea();
    static void postToGui(std::function<void()> task);
    void startCameraIfShowing();

    EKYCAutoCapture autoCapture_;
    QElapsedTimer shownFor_;
    // The photograph asked for last, read on the capture thread.
    std::mutex contextMutex_;
    EKYCCaptureContext context_;
};

}  // namespace ovira

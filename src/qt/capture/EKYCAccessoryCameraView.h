#pragma once

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <optional>

#include "capture/EKYCAccessoryCameraViewViewDelegate.h"
#include "capture/EKYCCaptureHint.h"
#include "ui/view/AccessibleStatus.h"
#include "ui_EKYCAccessoryCameraView.h"

namespace ovira {

// The controls over the camera, from the interface description of the
// same name: close, guide and switch-camera buttons, the screen's title
// and guide text, the live hint above the capture button (with the
// automatic capture's countdown and its stop button), the capture button
// and the flash button. GUI thread.
class EKYCAccessoryCameraView : public QWidget, public Ui::EKYCAccessoryCameraView {
    Q_OBJECT
public:
    explicit EKYCAccessoryCameraView(QWidget* parent = nullptr);

    // The torch as the user last toggled it; off for every new view.
    bool isTorchAvailable() const { return isTorchAvailable_; }

    // Held weakly when it is a QObject. Setting one fills the guide box
    // from it (title and document or face guide).
    EKYCAccessoryCameraViewViewDelegate* delegate() const;
    void setDelegate(EKYCAccessoryCameraViewViewDelegate* delegate);

    void setupGuide(const std::optional<QString>& title, std::optional<bool> isCard);

    // The band between the controls at the top (with the title and the
    // guide) and the ones at the bottom, in this view's coordinates: where
    // the camera's window may show without lying under a control. Null until
    // the view is laid out.
    QRect freeArea() const;

    // The buttons' actions.
    void guideAction();
    void closeAction();
    void onFlash();
    void onCapture();
    void switchCamera();
    // Flips the torch flag and, on document screens, asks for the torch and
    // shows its state on the flash button.
    void toggleFlash();

    // The face check's verdict: the capture button is enabled only with the
    // face inside the circle, and faceStatus tells screen readers when the
    // verdict changes (a verdict repeated frame after frame says nothing).
    void showFaceCheck(bool isInside);
    // The face check's status for assistive technologies.
    AccessibleStatus* faceStatus = nullptr;

    // The live guidance's hint, shown and told to screen readers when it
    // changes; nothing (the hint's place kept) before the first.
    void showGuidance(const EKYCGuidance& guidance);
    void clearGuidance();
    // The automatic capture's countdown: the seconds left with the stop
    // button, or 0 to end it (the hint comes back).
    void showCountdown(int secondsLeft);
    // Tells screen readers that the automatic capture was stopped.
    void announceAutoCaptureStopped();
    void stopAutoCapture();
    // The hint (and countdown) for assistive technologies.
    AccessibleStatus* hintStatus = nullptr;

Q_SIGNALS:
    // The controls moved or changed size: freeArea() may be another.
    void freeAreaChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showFlashState();
    void setHintText(const QString& text);

    EKYCAccessoryCameraViewViewDelegate* delegate_ = nullptr;
    QPointer<QObject> delegateObject_;
    bool delegateIsObject_ = false;
    bool isTorchAvailable_ = false;
    std::optional<EKYCCaptureHint> hint_;
    int secondsLeft_ = 0;
};

}  // namespace ovira

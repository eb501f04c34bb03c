#pragma once

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <optional>

#include "capture/EKYCAccessoryCameraViewViewDelegate.h"

namespace ovira {

// The controls over the camera, from the interface description of the
// same name: close, guide and switch-camera buttons, the screen's title
// and guide text, the capture button and the flash button. GUI thread.
class EKYCAccessoryCameraView : public QWidget {
    Q_OBJECT
public:
    explicit EKYCAccessoryCameraView(QWidget* parent = nullptr);

    // Outlets; the view owns them.
    QPointer<QLabel> lbTitle;
    QPointer<QLabel> lbGuide;
    QPointer<QWidget> vGuide;
    QPointer<QPushButton> btnCapture;
    QPointer<QPushButton> btnFlash;
    QPointer<QPushButton> btnClose;
    QPointer<QPushButton> btnGuide;
    QPointer<QPushButton> btnSwitchCamera;

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

Q_SIGNALS:
    // The controls moved or changed size: freeArea() may be another.
    void freeAreaChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EKYCAccessoryCameraViewViewDelegate* delegate_ = nullptr;
    QPointer<QObject> delegateObject_;
    bool delegateIsObject_ = false;
    bool isTorchAvailable_ = false;
};

}  // namespace ovira

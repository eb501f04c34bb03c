#pragma once

#include "capture/EKYCBaseDetectionViewController.h"
#include "capture/EKYCFaceDetectionViewModel.h"

namespace ovira {

// The user's face, with the front camera; the capture button follows the
// face check. The last capture: goes on to the confirmation.
class EKYCFaceDetectionViewController : public EKYCBaseDetectionViewController<EKYCFaceDetectionViewModel> {
    Q_OBJECT
public:
    explicit EKYCFaceDetectionViewController(QWidget* parent = nullptr);

    EKYCStep captureStep() const override { return EKYCStep::face; }
    std::optional<QString> captureTitle() override;

    void pushConfirm(const EKYCImages& images);

protected:
    void bindViewModel() override;
};

}  // namespace ovira

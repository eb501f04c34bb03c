#pragma once

#include "capture/EKYCBackDetectionViewModel.h"
#include "capture/EKYCBaseDetectionViewController.h"

namespace ovira {

// The document's back (identity card and driving licence); goes on to the face.
class EKYCBackDetectionViewController : public EKYCBaseDetectionViewController<EKYCBackDetectionViewModel> {
    Q_OBJECT
public:
    explicit EKYCBackDetectionViewController(QWidget* parent = nullptr);

    EKYCStep captureStep() const override { return EKYCStep::back; }
    std::optional<QString> captureTitle() override;

    void pushFaceDetection(const EKYCImages& images);

protected:
    void bindViewModel() override;
};

}  // namespace ovira

#pragma once

#include "capture/EKYCBaseDetectionViewController.h"
#include "capture/EKYCFrontDetectionViewModel.h"

namespace ovira {

// The document's front, or the passport's photo page: the first capture.
// Goes on to the back (identity card, driving licence) or the face
// (passport).
class EKYCFrontDetectionViewController : public EKYCBaseDetectionViewController<EKYCFrontDetectionViewModel> {
    Q_OBJECT
public:
    explicit EKYCFrontDetectionViewController(QWidget* parent = nullptr);

    EKYCStep captureStep() const override { return EKYCStep::front; }
    std::optional<QString> captureTitle() override;

    void pushBackDetection(const EKYCImages& images);
    void pushFaceDetection(const EKYCImages& images);

protected:
    void bindViewModel() override;
};

}  // namespace ovira

#pragma once

#include <QLabel>
#include <QPushButton>

#include "screens/base/EKYCBaseViewController.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewModel.h"
#include "ui/view/ImageView.h"
#include "ui_EKYCPreviewPhotoErrorViewController.h"

namespace ovira {

// A photograph the service turned down: what was photographed, the
// photograph and the service's reason, with a way back to retake it, the
// capture guide for that step, and the way out of the flow.
class EKYCPreviewPhotoErrorViewController : public EKYCBaseViewController<EKYCPreviewPhotoErrorViewModel>,
                                            public Ui::EKYCPreviewPhotoErrorViewController {
    Q_OBJECT
public:
    explicit EKYCPreviewPhotoErrorViewController(QWidget* parent = nullptr);

    virtual void updateTitle();
    virtual void showGuide();
    virtual void showDocumentGuide();
    virtual void showFaceGuide();

    void onCLickedRetakePhoto();
    void closeAction();
    void onClickedGuide();

protected:
    void setupUI() override;
    void bindViewModel() override;
};

}  // namespace ovira

#pragma once

#include <QLabel>
#include <QPushButton>

#include "screens/guide/EKYCGuideCaptureDocumentViewModel.h"
#include "ui/lists/EKYCBaseTableView.h"
#include "screens/base/EKYCPanelSheetViewController.h"
#include "ui_EKYCGuideCaptureDocumentViewController.h"

namespace ovira {

// The document guide: three notes on taking a good photograph of a
// document, in a sheet closed by its button or a tap outside.
class EKYCGuideCaptureDocumentViewController
    : public EKYCPanelSheetViewController<EKYCGuideCaptureDocumentViewModel>,
      public Ui::EKYCGuideCaptureDocumentViewController {
    Q_OBJECT
public:
    explicit EKYCGuideCaptureDocumentViewController(QWidget* parent = nullptr);

    // Opens a new guide over `presenter`: full height, closed by a tap
    // outside, not by dragging.
    static EKYCGuideCaptureDocumentViewController* show(ViewController& presenter);

    QWidget* sheetPanel() const override { return sheetView; }
    void onClickedOke();

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void setupUI() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString note(int row) const;
    void fitTable();
};

}  // namespace ovira

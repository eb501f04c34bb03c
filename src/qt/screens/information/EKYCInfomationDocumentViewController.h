#pragma once

#include <QLabel>
#include <QPushButton>
#include <memory>

#include "screens/base/EKYCBaseViewController.h"
#include "screens/information/EKYCInfomationDocumentViewModel.h"
#include "ui/lists/EKYCBaseTableView.h"
#include "ui_EKYCInfomationDocumentViewController.h"

namespace ovira {

class EKYCInfomationDocumentTableViewCell;
class EKYCSelectionViewModel;

// The flow's last screen: the identity data the service read, as fields
// the user corrects by typing, from lists or with a date picker, then
// submits. A successful submission tells the host and closes the flow.
// The service is called off the GUI thread while the loading overlay shows.
class EKYCInfomationDocumentViewController : public EKYCBaseViewController<EKYCInfomationDocumentViewModel>,
                                             public Ui::EKYCInfomationDocumentViewController {
    Q_OBJECT
public:
    std::optional<OVIRAFlowStep> flowStep() const override { return OVIRAFlowStep::identityForm; }
    static constexpr double rowHeight = 56;  // a row's least height: larger text makes it taller
    static constexpr double sectionSpacing = 8;

    explicit EKYCInfomationDocumentViewController(QWidget* parent = nullptr);

    // A tap outside the fields closes the keyboard.
    void tapOutSideAction();
    // The completion button: the loading overlay, then the submission.
    void subInfoAction();

    void handleFieldTap(const EKYCInfomationDocument& item, int row,
                        EKYCInfomationDocumentTableViewCell* cell);
    void showDatePicker(const EKYCInfomationDocument& item, int row);
    void showSelectionList(std::shared_ptr<EKYCSelectionViewModel> selectionModel, int row);
    void setSubmitEnabled(bool enabled);
    void showEmptyValueAlert();

protected:
    void setupUI() override;
    void mousePressEvent(QMouseEvent* event) override;
    void bindViewModel() override;
    // Shows the loading overlay, then lets the view model fetch the form.
    void configure() override;

private:
    // A row for each field, under a spacing header.
    void reloadFields();
    void reloadRow(int row);
};

}  // namespace ovira

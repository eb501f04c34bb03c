#pragma once

#include <QLabel>
#include <QPushButton>
#include <memory>

#include "screens/base/EKYCBaseViewController.h"
#include "screens/information/EKYCInfomationDocumentViewModel.h"
#include "ui/lists/EKYCBaseTableView.h"

namespace ovira {

class EKYCInfomationDocumentTableViewCell;
class EKYCSelectionViewModel;
class TapGestureRecognizer;

// The flow's last screen: the identity data the service read, as fields
// the user corrects by typing, from lists or with a date picker, then
// submits. A successful submission tells the host and closes the flow.
// The service is called off the GUI thread while the loading overlay shows.
class EKYCInfomationDocumentViewController : public EKYCBaseViewController<EKYCInfomationDocumentViewModel>,
                                             public TableView::DataSource,
                                             public TableView::Delegate {
    Q_OBJECT
public:
    std::optional<OVIRAFlowStep> flowStep() const override { return OVIRAFlowStep::identityForm; }
    static constexpr double rowHeight = 56;
    static constexpr double sectionSpacing = 8;

    explicit EKYCInfomationDocumentViewController(QWidget* parent = nullptr);

    EKYCBaseTableView* tableView = nullptr;
    QLabel* lbDocumentName = nullptr;
    QPushButton* btnCompletionEkyc = nullptr;

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

    int numberOfRows(TableView& table, int section) override;
    TableViewCell* cellForRow(TableView& table, const IndexPath& indexPath) override;
    double heightForRow(TableView& table, const IndexPath& indexPath) override;
    QWidget* viewForHeader(TableView& table, int section) override;
    double heightForHeader(TableView& table, int section) override;

protected:
    void viewDidLoad() override;
    void setupUI() override;
    void bindViewModel() override;
    // Shows the loading overlay, then lets the view model fetch the form.
    void configure() override;

private:
    void reloadRow(int row);
    TapGestureRecognizer* outsideTap_ = nullptr;
};

}  // namespace ovira

#pragma once

#include <QPushButton>
#include <vector>

#include "screens/base/EKYCBaseViewController.h"
#include "screens/confirm/EKYCConfirmViewModel.h"
#include "ui/lists/EKYCBaseTableView.h"

namespace ovira {

// The accepted photographs in two groups, the document's and the face, each
// marked valid. A photograph opens the review; the next button the form.
class EKYCConfirmViewController : public EKYCBaseViewController<EKYCConfirmViewModel>,
                                  public TableView::DataSource,
                                  public TableView::Delegate {
    Q_OBJECT
public:
    std::optional<OVIRAFlowStep> flowStep() const override { return OVIRAFlowStep::confirm; }
    explicit EKYCConfirmViewController(QWidget* parent = nullptr);

    EKYCBaseTableView* tableView = nullptr;
    QPushButton* btnNext = nullptr;

    // The localized header of a group; empty for any other section.
    QString headerTitle(int section) const;

    void verifyAction();
    void showReview(int index, const std::vector<EKYCReviewPhotoViewModel>& items);
    void showInformationForm();

    int numberOfSections(TableView& table) override;
    int numberOfRows(TableView& table, int section) override;
    TableViewCell* cellForRow(TableView& table, const IndexPath& indexPath) override;
    double heightForRow(TableView& table, const IndexPath& indexPath) override;
    QWidget* viewForHeader(TableView& table, int section) override;
    double heightForHeader(TableView& table, int section) override;

protected:
    void viewDidLoad() override;
    void setupUI() override;
};

}  // namespace ovira

#pragma once

#include <QPushButton>
#include <vector>

#include "screens/base/EKYCBaseViewController.h"
#include "screens/confirm/EKYCConfirmViewModel.h"
#include "ui/lists/EKYCBaseTableView.h"
#include "ui_EKYCConfirmViewController.h"

namespace ovira {

// The accepted photographs in two groups, the document's and the face, each
// marked valid. A photograph opens the review; the next button the form.
class EKYCConfirmViewController : public EKYCBaseViewController<EKYCConfirmViewModel>,
                                  public Ui::EKYCConfirmViewController {
    Q_OBJECT
public:
    std::optional<OVIRAFlowStep> flowStep() const override { return OVIRAFlowStep::confirm; }
    explicit EKYCConfirmViewController(QWidget* parent = nullptr);

    // The localized header of a group; empty for any other section.
    QString headerTitle(int section) const;

    void verifyAction();
    void showReview(int index, const std::vector<EKYCReviewPhotoViewModel>& items);
    void showInformationForm();

protected:
    // Fills the list: a header and the rows of each group, a row a quarter of the list's height.
    void viewDidLoad() override;
    void setupUI() override;
};

}  // namespace ovira

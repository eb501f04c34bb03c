#pragma once

#include <QLabel>
#include <QPointer>
#include <QToolButton>

#include "screens/base/EKYCBaseViewController.h"
#include "screens/review/EKYCReviewPhotographViewModel.h"
#include "ui/lists/EKYCBaseCollectionView.h"
#include "ui_EKYCReviewPhotographViewController.h"

class QVariantAnimation;

namespace ovira {

// The accepted photographs full screen, one page each, with buttons for the
// previous and the next one (wrapping at both ends) and for going back.
// The flow's bar is hidden while it shows.
class EKYCReviewPhotographViewController : public EKYCBaseViewController<EKYCReviewPhotographViewModel>,
                                           public Ui::EKYCReviewPhotographViewController {
    Q_OBJECT
public:
    explicit EKYCReviewPhotographViewController(QWidget* parent = nullptr);

    void onBack();
    void previousImage();
    void nextImage();
    // Brings the page of `index` into view; an index outside the list is skipped.
    void scrollToItem(int index, bool animated);
    // The index of the page in view.
    int visibleIndex() const;

protected:
    void viewDidLoad() override;
    void setupUI() override;
    void bindViewModel() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPage(int index, const std::optional<std::string>& title);
    QPointer<QVariantAnimation> scroll_;
};

}  // namespace ovira

#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <functional>
#include <optional>

#include "screens/selection/EKYCSelectionFilterModel.h"
#include "screens/selection/EKYCSelectionListModel.h"
#include "screens/selection/EKYCSelectionViewModel.h"
#include "ui/keyboard/EKYCKeyboardTracker.h"
#include "screens/base/EKYCPanelSheetViewController.h"
#include "ui_EKYCSelectionViewController.h"

class QVariantAnimation;

namespace ovira {

// A sheet to pick a form field's value from: a title, a search box (not
// for the gender list) and the entries, the current one marked. Picking
// another entry hands it back and closes the sheet. The panel rises above
// the on-screen keyboard while it shows.
class EKYCSelectionViewController : public EKYCPanelSheetViewController<EKYCSelectionViewModel>,
                                    public Ui::EKYCSelectionViewController {
    Q_OBJECT
public:
    static constexpr double headerHeight = EKYCSelectionViewModel::headerHeight;
    static constexpr double searchHeight = EKYCSelectionViewModel::searchHeight;
    static constexpr int topLimit = 64;  // the lifted panel's top never goes higher

    explicit EKYCSelectionViewController(QWidget* parent = nullptr);

    std::function<void(const EKYCSelectionItem&)> onClickedItem;
    EKYCKeyboardTracker* keyboardTracker = nullptr;
    bool isDismissing = false;

    QWidget* sheetPanel() const override { return vBottomSheet; }
    // How far the panel is lifted above its place at the bottom.
    int panelLift() const { return lift_; }

    void textFieldDidChange(const QString& text);
    void clickedClose();
    // The list's height from the view model's rule for this window's height.
    void updateTableHeight();

    // The entries as shown: filtered by the search box.
    EKYCSelectionFilterModel* entries() const { return filter_; }
    // Picks the shown entry of `index` (of entries()): hands it back and
    // closes, unless it is the current value.
    void didSelectRow(const QModelIndex& index);
    void keyboardTrackerDidUpdate(const EKYCKeyboardTracker::Animation& animation);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void setupUI() override;
    void bindViewModel() override;
    // Shows the loading overlay while a list comes from the service.
    void configure() override;
    void didTapOutsidePanel() override { clickedClose(); }
    void resizeEvent(QResizeEvent* event) override;

private:
    void setLift(int lift, double duration);
    bool eventFilter(QObject* watched, QEvent* event) override;

    EKYCSelectionListModel* model_;
    EKYCSelectionFilterModel* filter_;

    int lift_ = 0;
    // The lift from before the keyboard came; restored when it goes.
    std::optional<int> rootLift_;
    QPointer<QVariantAnimation> liftAnimation_;
};

}  // namespace ovira

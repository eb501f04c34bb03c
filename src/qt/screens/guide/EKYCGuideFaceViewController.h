#pragma once

#include <QLabel>
#include <QPushButton>

#include "screens/guide/EKYCGuideFaceViewModel.h"
#include "ui/lists/EKYCBaseCollectionView.h"
#include "screens/base/EKYCPanelSheetViewController.h"
#include "ui_EKYCGuideFaceViewController.h"

namespace ovira {

// The face guide: three illustrated do's and don'ts side by side, in a
// sheet closed by its button or a tap outside.
class EKYCGuideFaceViewController : public EKYCPanelSheetViewController<EKYCGuideFaceViewModel>,
                                    public Ui::EKYCGuideFaceViewController {
    Q_OBJECT
public:
    static constexpr QMargins sectionInsets{16, 20, 16, 0};  // left, top, right, bottom
    static constexpr int itemSpacing = 12;
    static constexpr int itemHeight = 200;  // the least: a caption that needs more makes every item taller

    explicit EKYCGuideFaceViewController(QWidget* parent = nullptr);

    // Opens a new guide over `presenter`, as the document guide opens.
    static EKYCGuideFaceViewController* show(ViewController& presenter);
    // Three items fill a row of the collection: (width - insets - 2 gaps) / 3 - 0.1.
    static double itemWidth(double collectionWidth);

    QWidget* sheetPanel() const override { return sheetView; }
    void clickedOk();

    // The items' height at the collection's present width.
    int fittedItemHeight() const { return fittedItemHeight_; }

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void setupUI() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Makes the items, and the collection, as tall as the longest caption needs at the present width.
    void fitItems();

    int fittedItemHeight_ = itemHeight;
};

}  // namespace ovira

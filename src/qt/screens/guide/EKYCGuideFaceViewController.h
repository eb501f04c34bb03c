#pragma once

#include <QLabel>
#include <QPushButton>

#include "screens/guide/EKYCGuideFaceViewModel.h"
#include "ui/lists/EKYCBaseCollectionView.h"
#include "ui/sheet/EKYCPanelSheetViewController.h"

namespace ovira {

// The face guide: three illustrated do's and don'ts side by side, in a
// sheet closed by its button or a tap outside.
class EKYCGuideFaceViewController : public EKYCPanelSheetViewController<EKYCGuideFaceViewModel>,
                                    public CollectionView::DataSource,
                                    public CollectionView::Delegate {
    Q_OBJECT
public:
    static constexpr QMargins sectionInsets{16, 20, 16, 0};  // left, top, right, bottom
    static constexpr int itemSpacing = 12;
    static constexpr int itemHeight = 200;

    explicit EKYCGuideFaceViewController(QWidget* parent = nullptr);

    // Opens a new guide over `presenter`, as the document guide opens.
    static EKYCGuideFaceViewController* show(ViewController& presenter);
    // Three items fill a row of the collection: (width - insets - 2 gaps) / 3 - 0.1.
    static double itemWidth(double collectionWidth);

    QWidget* sheetView = nullptr;
    EKYCBaseCollectionView* collectionView = nullptr;
    QLabel* lbTitle = nullptr;
    QPushButton* btnOk = nullptr;

    QWidget* sheetPanel() const override { return sheetView; }
    void clickedOk();

    int numberOfItems(CollectionView& collection, int section) override;
    CollectionViewCell* cellForItem(CollectionView& collection, const IndexPath& indexPath) override;
    QSize sizeForItem(CollectionView& collection, const IndexPath& indexPath) override;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void setupUI() override;
};

}  // namespace ovira

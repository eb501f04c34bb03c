#pragma once

#include <QLabel>

#include "ui/lists/EKYCBaseCollectionViewCell.h"
#include "ui/view/ImageView.h"
#include "ui_EKYCGuideFaceCollectionViewCell.h"

namespace ovira {

// One rule of the face guide: an illustration, its verdict (a tick or a
// cross) and a caption, on a light card.
class EKYCGuideFaceCollectionViewCell : public EKYCBaseCollectionViewCell,
                                        public Ui::EKYCGuideFaceCollectionViewCell {
    Q_OBJECT
public:
    explicit EKYCGuideFaceCollectionViewCell(QWidget* parent = nullptr);

    // Takes an EKYCGuideFaceCellViewModel; anything else clears the item.
    void configure(const std::any& item) override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ovira

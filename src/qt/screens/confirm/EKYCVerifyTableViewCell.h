#pragma once

#include <QLabel>
#include <QPushButton>
#include <functional>

#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ImageView.h"
#include "ui_EKYCVerifyTableViewCell.h"

namespace ovira {

// An accepted photograph on a card, marked valid; tapping the card opens
// the photograph full screen.
class EKYCVerifyTableViewCell : public EKYCBaseTableViewCell, public Ui::EKYCVerifyTableViewCell {
    Q_OBJECT
public:
    explicit EKYCVerifyTableViewCell(QWidget* parent = nullptr);

    std::function<void()> onTapPhotograph;

    // Takes a QImage; anything else shows no photograph.
    void configure(const std::any& item) override;
    // What the photograph shows ("Front side"), for screen readers.
    void setPhotographName(const QString& name);

    // The least height of the row that shows the mark and its text whole;
    // the photograph takes whatever the row has besides.
    int minimumRowHeight() const;

    void onCLickedPhoto();
    void onClickedPreviewPhoto();
};

}  // namespace ovira

#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "api/EKYCInfomationDocument.h"
#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ImageView.h"
#include "ui_EKYCInfomationDocumentTableViewCell.h"

namespace ovira {

// One field of the identity form: its name above its value, and the icon
// of how it is edited. The row is a button: a tap on an editable row asks
// the screen what to do (type in place, or pick from a list or a date).
class EKYCInfomationDocumentTableViewCell : public EKYCBaseTableViewCell,
                                            public Ui::EKYCInfomationDocumentTableViewCell {
    Q_OBJECT
public:
    static constexpr int separatorSideInset = 32;

    explicit EKYCInfomationDocumentTableViewCell(QWidget* parent = nullptr);

    std::function<void(EKYCInfomationDocumentTableViewCell*)> onClickedButton;
    std::function<void(const std::string&)> onChangeFieldValue;

    // Takes an EKYCInfomationDocument; anything else leaves the row as it is.
    void configure(const std::any& item) override;

    // Opens the text box for typing, with the keyboard on it; it closes
    // again when it loses the focus.
    void beginEditing();

    // The icon of a kind of field.
    static QString iconName(EKYCInfomationDocument::FieldType type);

    void onSelected();
    void textFieldDidChange(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void endEditing();
    // The row button's name: the field and its value as the box holds it.
    void updateAccessibleValue();
};

}  // namespace ovira

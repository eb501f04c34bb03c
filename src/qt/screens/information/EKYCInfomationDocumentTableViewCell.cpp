#include "screens/information/EKYCInfomationDocumentTableViewCell.h"

#include <QPainter>

#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "resources/Localized.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

using FieldType = EKYCInfomationDocument::FieldType;

EKYCInfomationDocumentTableViewCell::EKYCInfomationDocumentTableViewCell(QWidget* parent)
    : EKYCBaseTableViewCell(parent) {
    setupUi(this);
    lbFieldName->setFont(systemFont(14));
    setTextColor(lbFieldName, ColorAsset::secondText().color());
    tfFieldValue->setFont(boldSystemFont(14));
    tfFieldValue->setTextMargins(0, 0, 0, 0);
    // The colours come from the palette: a style sheet's colour would also
    // make the placeholder its half-transparent shade, too faint to read.
    tfFieldValue->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; padding: 0; }"));
    setTextColor(tfFieldValue, ColorAsset::blackAAA().color());
    setPlaceholderColor(tfFieldValue, ColorAsset::secondText().color());
    btnSelected->setStyleSheet(
        QStringLiteral("QPushButton { background: transparent; border: none; }"
                       "QPushButton:pressed { background: rgba(15, 128, 236, 18); }"));
    btnSelected->raise();
    connect(tfFieldValue, &QLineEdit::textEdited, this,
            &EKYCInfomationDocumentTableViewCell::textFieldDidChange);
    connect(tfFieldValue, &QLineEdit::editingFinished, this,
            &EKYCInfomationDocumentTableViewCell::endEditing);
    connect(btnSelected, &QPushButton::clicked, this, &EKYCInfomationDocumentTableViewCell::onSelected);
}

QString EKYCInfomationDocumentTableViewCell::iconName(FieldType type) {
    switch (type) {
        case FieldType::gender:
        case FieldType::national:
            return QStringLiteral("ic_arrow_down");
        case FieldType::date:
            return QStringLiteral("ic_calendar");
        case FieldType::string:
        case FieldType::number:
        case FieldType::country:
            break;
    }
    return QStringLiteral("ic_edit");
}

void EKYCInfomationDocumentTableViewCell::configure(const std::any& item) {
    const auto* field = std::any_cast<EKYCInfomationDocument>(&item);
    if (!field) return;
    endEditing();
    // A digits keyboard for numbers; a plain Latin one for everything else.
    tfFieldValue->setInputMethodHints(field->fieldType == FieldType::number ? Qt::ImhDialableCharactersOnly
                                                                            : Qt::ImhPreferLatin);
    lbFieldName->setText(QString::fromStdString(field->fieldName));
    tfFieldValue->setText(QString::fromStdString(field->fieldValue));
    tfFieldValue->setPlaceholderText(QString::fromStdString(field->placeholder));
    tfFieldValue->setCursorPosition(0);
    imgFieldType->setImage(ImageAsset::image(iconName(field->fieldType)));
    imgFieldType->setHidden(!field->editable);
    btnSelected->setEnabled(field->editable);
    // Values that cannot be changed read quieter than those that can.
    const QColor value = field->editable ? ColorAsset::blackAAA().color() : ColorAsset::secondText().color();
    setTextColor(tfFieldValue, value);
    // The text box is named after its field; the row's button says the
    // field, its value and what a tap does.
    tfFieldValue->setAccessibleName(lbFieldName->text());
    const char* hint = "a11y.field_locked";
    if (field->editable) {
        switch (field->fieldType) {
            case FieldType::string:
            case FieldType::number:
                hint = "a11y.field_edit";
                break;
            case FieldType::date:
                hint = "a11y.field_date";
                break;
            case FieldType::country:
            case FieldType::gender:
            case FieldType::national:
                hint = "a11y.field_list";
                break;
        }
    }
    btnSelected->setAccessibleDescription(accessibleText(hint));
    updateAccessibleValue();
}

void EKYCInfomationDocumentTableViewCell::updateAccessibleValue() {
    const QString value = tfFieldValue->text().isEmpty() ? accessibleText("a11y.field_empty") : tfFieldValue->text();
    btnSelected->setAccessibleName(accessibleText("a11y.field_value", {lbFieldName->text(), value}));
}

void EKYCInfomationDocumentTableViewCell::beginEditing() {
    tfFieldValue->setEnabled(true);
    btnSelected->hide();
    tfFieldValue->setFocus(Qt::MouseFocusReason);
    tfFieldValue->end(false);
}

void EKYCInfomationDocumentTableViewCell::endEditing() {
    tfFieldValue->setEnabled(false);
    btnSelected->show();
    btnSelected->raise();
}

void EKYCInfomationDocumentTableViewCell::onSelected() {
    if (onClickedButton) onClickedButton(this);
}

// Every edit reaches the form, clearing included: an empty box is the
// empty value, which is what disables the completion button.
void EKYCInfomationDocumentTableViewCell::textFieldDidChange(const QString& text) {
    updateAccessibleValue();
    if (onChangeFieldValue) onChangeFieldValue(text.toStdString());
}

void EKYCInfomationDocumentTableViewCell::resizeEvent(QResizeEvent* event) {
    EKYCBaseTableViewCell::resizeEvent(event);
    btnSelected->setGeometry(rect());
}

void EKYCInfomationDocumentTableViewCell::paintEvent(QPaintEvent* event) {
    EKYCBaseTableViewCell::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(colorFromHex(u"E3E7EF"), 1));
    const qreal y = height() - 0.5;
    painter.drawLine(QPointF(separatorSideInset, y), QPointF(width() - separatorSideInset, y));
}

}  // namespace ovira

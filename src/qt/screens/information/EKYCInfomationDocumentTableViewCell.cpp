#include "screens/information/EKYCInfomationDocumentTableViewCell.h"

#include <QPainter>

#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "ui/view/Outlet.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

using FieldType = EKYCInfomationDocument::FieldType;

void EKYCInfomationDocumentTableViewCell::awakeFromNib() {
    lbFieldName = outlet<QLabel>(this, "lbFieldName");
    tfFieldValue = outlet<QLineEdit>(this, "tfFieldValue");
    imgFieldType = outlet<ImageView>(this, "imgFieldType");
    btnSelected = outlet<QPushButton>(this, "btnSelected");
    isEnableHighlight = false;
    setSeparatorInset(QMargins(separatorSideInset, 0, separatorSideInset, 0));
    lbFieldName->setFont(systemFont(14));
    setTextColor(lbFieldName, ColorAsset::secondText().color());
    tfFieldValue->setFont(boldSystemFont(14));
    tfFieldValue->setTextMargins(0, 0, 0, 0);
    tfFieldValue->setStyleSheet(
        QStringLiteral("QLineEdit { background: transparent; border: none; padding: 0; color: %1; }")
            .arg(ColorAsset::blackAAA().color().name()));
    setTextColor(tfFieldValue, ColorAsset::blackAAA().color());
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
    tfFieldValue->setStyleSheet(
        QStringLiteral("QLineEdit { background: transparent; border: none; padding: 0; color: %1; }")
            .arg(value.name()));
}

void EKYCInfomationDocumentTableViewCell::prepareForReuse() {
    onClickedButton = nullptr;
    onChangeFieldValue = nullptr;
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
    const QMargins inset = separatorInset();
    const qreal y = height() - 0.5;
    painter.drawLine(QPointF(inset.left(), y), QPointF(width() - inset.right(), y));
}

}  // namespace ovira

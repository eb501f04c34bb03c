#include "ui/alert/QXAlertViewController.h"

namespace ovira {

QXAlertViewController::QXAlertViewController(AlertContent content, QWidget* parent)
    : AlertController(std::move(content), 48, 16, parent), buttonAction(actionButtons().value(0)) {}

bool QXAlertViewController::didPressEscape() {
    if (buttonAction) buttonAction->click();
    else dismiss(true);
    return true;
}

}  // namespace ovira

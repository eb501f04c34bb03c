#pragma once

#include "ui/alert/AlertController.h"

namespace ovira {

// An alert (AlertBuilder): an optional image, a title, a message and at
// most one button, 48 points tall. Escape presses the button.
class QXAlertViewController : public AlertController {
    Q_OBJECT
public:
    explicit QXAlertViewController(AlertContent content, QWidget* parent = nullptr);

    QPushButton* buttonAction = nullptr;  // the only button; none without an action

    bool didPressEscape() override;
};

}  // namespace ovira

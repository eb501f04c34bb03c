#pragma once

#include "ui/alert/AlertController.h"

namespace ovira {

// A dialog (DialogBuilder): title, message and a row of buttons 44 points
// tall. Escape closes it without a choice.
class QXDialogViewController : public AlertController {
    Q_OBJECT
public:
    explicit QXDialogViewController(AlertContent content, QWidget* parent = nullptr)
        : AlertController(std::move(content), 44, 24, parent) {}
};

}  // namespace ovira

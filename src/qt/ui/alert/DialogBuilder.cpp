#include "ui/alert/DialogBuilder.h"

#include "ui/alert/AlertController.h"
#include "ui/alert/QXDialogViewController.h"

namespace ovira {

DialogBuilder& DialogBuilder::title(const QString& text) {
    _title = text;
    return *this;
}

DialogBuilder& DialogBuilder::message(const QString& text) {
    _message = text;
    return *this;
}

DialogBuilder& DialogBuilder::addAction(const AlertAction& action, AlertActionHandler handler) {
    _actions.push_back({action, std::move(handler)});
    return *this;
}

AlertController* DialogBuilder::build() const {
    auto* dialog = new AlertController;
    auto* content = new QXDialogViewController;
    content->builder = *this;
    content->alertController = dialog;
    dialog->setContentViewController(content);
    return dialog;
}

}  // namespace ovira

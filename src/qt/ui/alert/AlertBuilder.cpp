#include "ui/alert/AlertBuilder.h"

#include "ui/alert/AlertController.h"
#include "ui/alert/QXAlertViewController.h"

namespace ovira {

AlertBuilder& AlertBuilder::title(const QString& text) {
    _title = text;
    return *this;
}

AlertBuilder& AlertBuilder::message(const QString& text) {
    _message = text;
    return *this;
}

AlertBuilder& AlertBuilder::image(const EKYCImage& image) {
    _image = image;
    return *this;
}

AlertBuilder& AlertBuilder::action(const AlertAction& action, AlertActionHandler handler) {
    _action = action;
    _actionHandler = std::move(handler);
    return *this;
}

AlertController* AlertBuilder::build() const {
    auto* alert = new AlertController;
    auto* content = new QXAlertViewController;
    content->builder = *this;
    content->alertController = alert;
    alert->setContentViewController(content);
    return alert;
}

}  // namespace ovira

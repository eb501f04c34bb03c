#pragma once

#include "ui/alert/QXAlertViewController.h"

namespace ovira {

// A notice: an optional image, a title, a message and at most one button.
//   auto* alert = AlertBuilder().image(ImageAsset::image("ic_disconnect"))
//                     .title(tr).message(text).action({"OK", AlertAction::Style::cancel}, handler).build();
//   screen->present(alert, true);
class AlertBuilder {
public:
    AlertBuilder& title(const QString& text) {
        content_.title = text;
        return *this;
    }
    AlertBuilder& message(const QString& text) {
        content_.message = text;
        return *this;
    }
    AlertBuilder& image(const EKYCImage& image) {
        content_.image = image;
        return *this;
    }
    AlertBuilder& action(const AlertAction& action, AlertActionHandler handler = {}) {
        content_.actions = {{action, std::move(handler)}};
        return *this;
    }

    // An alert ready to present; the presentation takes it over.
    AlertController* build() const { return new QXAlertViewController(content_); }

private:
    AlertContent content_;
};

}  // namespace ovira

#pragma once

#include "ui/alert/QXDialogViewController.h"

namespace ovira {

// A question: a title, a message and any number of buttons side by side.
class DialogBuilder {
public:
    DialogBuilder& title(const QString& text) {
        content_.title = text;
        return *this;
    }
    DialogBuilder& message(const QString& text) {
        content_.message = text;
        return *this;
    }
    DialogBuilder& addAction(const AlertAction& action, AlertActionHandler handler = {}) {
        content_.actions.emplace_back(action, std::move(handler));
        return *this;
    }

    // A dialog ready to present; the presentation takes it over.
    AlertController* build() const { return new QXDialogViewController(content_); }

private:
    AlertContent content_;
};

}  // namespace ovira

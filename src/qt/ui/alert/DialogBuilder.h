#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "ui/alert/AlertAction.h"
#include "ui/alert/AlertBuilder.h"

namespace ovira {

// A question: a title, a message and any number of buttons side by side.
class DialogBuilder {
public:
    struct Entry {
        AlertAction action;
        AlertActionHandler handler;
    };

    DialogBuilder& title(const QString& text);
    DialogBuilder& message(const QString& text);
    DialogBuilder& addAction(const AlertAction& action, AlertActionHandler handler = {});

    // A dialog ready to present; the presentation takes it over.
    AlertController* build() const;

    std::optional<QString> _title;
    std::optional<QString> _message;
    std::vector<Entry> _actions;
};

}  // namespace ovira

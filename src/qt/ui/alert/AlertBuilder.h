#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "resources/EKYCImage.h"
#include "ui/alert/AlertAction.h"

namespace ovira {

class AlertController;

// Called with the alert that hosts the tapped button; it usually dismisses it.
using AlertActionHandler = std::function<void(AlertController* alert)>;

// A notice: an optional image, a title, a message and at most one button.
//   auto* alert = AlertBuilder().image(ImageAsset::image("ic_disconnect"))
//                     .title(tr).message(text).action({"OK", AlertAction::Style::cancel}, handler).build();
//   screen->present(alert, true);
class AlertBuilder {
public:
    AlertBuilder& title(const QString& text);
    AlertBuilder& message(const QString& text);
    AlertBuilder& image(const EKYCImage& image);
    AlertBuilder& action(const AlertAction& action, AlertActionHandler handler = {});

    // An alert ready to present; the presentation takes it over.
    AlertController* build() const;

    std::optional<QString> _title;
    std::optional<QString> _message;
    std::optional<EKYCImage> _image;
    std::optional<AlertAction> _action;
    AlertActionHandler _actionHandler;
};

}  // namespace ovira

#pragma once

#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "resources/EKYCImage.h"

namespace ovira {

class AlertController;

// A button of an alert or dialog: its title and its style. The style
// decides its colours (default: white title on blue; any other: blue title
// on white) and whether tapping it also dismisses the alert (cancel).
struct AlertAction {
    enum class Style { defaultStyle = 0, cancel = 1, destructive = 2 };
    QString title;
    Style style = Style::defaultStyle;
};

// Called with the alert that hosts the tapped button; it usually dismisses it.
using AlertActionHandler = std::function<void(AlertController* alert)>;

// What an alert or a dialog shows, as AlertBuilder and DialogBuilder gather it.
struct AlertContent {
    QString title;
    QString message;
    EKYCImage image;  // the null image: none
    std::vector<std::pair<AlertAction, AlertActionHandler>> actions;
};

}  // namespace ovira

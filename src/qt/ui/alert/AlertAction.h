#pragma once

#include <QString>

namespace ovira {

// A button of an alert or dialog: its title and its style. The style
// decides its colours and whether tapping it also dismisses the alert.
struct AlertAction {
    enum class Style { defaultStyle = 0, cancel = 1, destructive = 2 };
    QString title;
    Style style = Style::defaultStyle;
};

}  // namespace ovira

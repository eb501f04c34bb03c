#pragma once

namespace ovira {

// Screen readers see an alert or a dialog (AlertController) as an alert
// message: named by its title, described by its message, as its content
// screen names and describes itself, so that both are read out as it shows.
// Installed once, on the first call.
void installAlertAccessibility();

}  // namespace ovira

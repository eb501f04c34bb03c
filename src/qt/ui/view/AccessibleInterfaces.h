#pragma once

namespace ovira {

// Teaches Qt's accessibility what the library's own widgets are, where a
// plain widget's interface would say nothing useful:
// - ImageView: a picture (role Graphic) named by its accessible name; one
//   without a name is decoration and reports itself invisible, so that
//   readers skip it.
// - AccessibleStatus: a notification whose name and description are its
//   status and detail.
// - AlertController: an alert message, so that its name (the title) and
//   description (the message) are read out as it shows.
// Installed once, on the first call; the widgets call it as they are made.
void installAccessibleInterfaces();

}  // namespace ovira

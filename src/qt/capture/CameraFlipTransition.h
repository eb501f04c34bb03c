#pragma once

class QWidget;

namespace ovira {

enum class FlipDirection { fromLeft, fromRight };

// Turns `view` over like a card about its vertical axis: the picture on
// show turns away and the view's new content turns in. Purely visual; with
// animations off (ViewAnimation) nothing is shown. GUI thread.
void runCameraFlip(QWidget* view, FlipDirection direction, double duration);

}  // namespace ovira

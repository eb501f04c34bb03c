#pragma once

// What the file cameras of the demo's autopilot and of the GUI tests show:
// a card on a desk for the rear camera, a person (or not) for the front one.
#include <QImage>
#include <QPointF>

namespace ovira::scenes {

// An identity card with `portrait` on it, lying on a desk and seen from
// above by the rear camera (1080 x 1920): the card fills the capture window
// of a phone-sized screen. A null portrait leaves the photo box empty.
QImage documentOnADesk(const QImage& portrait);

// `picture` enlarged `scale` times in a front camera's 720 x 1280 frame,
// its centre at `centre`; the rest a plain wall.
QImage frontCameraFrame(const QImage& picture, double scale, QPointF centre);

}  // namespace ovira::scenes

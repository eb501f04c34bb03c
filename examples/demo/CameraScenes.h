#pragma once

// What the file cameras of the demo's autopilot and of the GUI tests show:
// a card on a desk for the rear camera, a person (or not) for the front one.
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <vector>

namespace ovira::scenes {

// An identity card with `portrait` on it at `card` (frame pixels), lying on
// a desk and seen from above by a rear camera giving frames of `frame`. A
// null portrait leaves the photo box empty.
QImage documentOnADesk(const QImage& portrait, QSize frame, const QRectF& card);
// The same in a 1440 x 2560 portrait frame, the card filling the capture
// window of a phone-sized screen (90 % of its width).
QImage documentOnADesk(const QImage& portrait);

// `picture` enlarged `scale` times in a front camera's frame of `frame`
// (720 x 1280 unless said), its centre at `centre`; the rest a plain wall.
QImage frontCameraFrame(const QImage& picture, double scale, QPointF centre, QSize frame = {720, 1280});

// What a camera makes of a scene in poor conditions, for the guidance to
// point out and the device's check to refuse: `frame` blurred as by a card
// moving or out of focus (about `radius` pixels), with only `factor` of
// its light, with a washed-out reflection of `radius` pixels at `centre`.
QImage blurred(const QImage& frame, double radius);
QImage darkened(const QImage& frame, double factor);
QImage withGlare(const QImage& frame, QPointF centre, double radius);

// `picture` with the head around `nose` (a face `faceWidth` pixels wide)
// drawn as if turned `degrees` about its vertical axis: the near side
// widens, the far side narrows and the nose moves off the eyes' middle.
QImage turnedFace(const QImage& picture, QPointF nose, double degrees, double faceWidth);

}  // namespace ovira::scenes

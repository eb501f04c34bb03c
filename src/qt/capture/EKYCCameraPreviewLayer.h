#pragma once

#include <QImage>
#include <QObject>
#include <QRectF>

#include "capture/EKYCCaptureGeometry.h"

class QPainter;

namespace ovira {

// The live picture of the camera: the newest frame, scaled to its frame and
// centred, whole and letter-boxed in black (fit, the default) or covering the
// frame and cut at two edges (fill), and mirrored for the front camera as
// people expect of a selfie view. The camera view paints it under its
// overlay. It also keeps where the controls over it leave room, so that the
// window the user aligns a document or a face with, the photograph's crop
// and the face check all come from one geometry. GUI thread.
class EKYCCameraPreviewLayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // In the coordinates of the view that paints it.
    QRectF frame() const { return frame_; }
    void setFrame(const QRectF& frame);


    const QImage& image() const { return image_; }
    void setImage(const QImage& image);
    bool isMirrored() const { return mirrored_; }
    void setMirrored(bool mirrored);
    capture::VideoGravity videoGravity() const { return gravity_; }
    void setVideoGravity(capture::VideoGravity gravity);

    // The band between the controls over the preview (same coordinates as
    // frame()); a null rectangle when there are none.
    QRectF controlsFreeArea() const { return freeArea_; }
    void setControlsFreeArea(const QRectF& band);

    // Where the picture lands inside frame(); empty without a picture.
    QRectF videoRect() const;
    // How frames map onto the preview, and where the window may go: both in
    // the preview's own coordinates (its top-left corner at 0, 0).
    capture::PreviewMapping mapping() const;
    capture::WindowLayout windowLayout() const;
    // The card window and the face circle's square, in the coordinates of frame().
    QRectF cardWindow() const;
    QRectF faceSquare() const;

    void paint(QPainter& painter) const;

Q_SIGNALS:
    void contentChanged();
    // The window's place may have changed: the frame, the controls, the
    // gravity or the size of the pictures.
    void geometryChanged();

private:
    QRectF frame_;
    QRectF freeArea_;
    QImage image_;
    bool mirrored_ = false;
    capture::VideoGravity gravity_ = capture::VideoGravity::aspectFit;
};

}  // namespace ovira

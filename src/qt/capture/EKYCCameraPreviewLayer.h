#pragma once

#include <QImage>
#include <QObject>
#include <QRectF>

class QPainter;

namespace ovira {

// The live picture of the camera: the newest frame, shown whole, scaled to
// fit its frame and centred (letter-boxed in black, never cropped), and
// mirrored for the front camera as people expect of a selfie view. The
// camera view paints it under its overlay. GUI thread.
class EKYCCameraPreviewLayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // In the coordinates of the view that paints it.
    QRectF frame() const { return frame_; }
    void setFrame(const QRectF& frame);

    // Pixels per point of the screen it is shown on.
    double devicePixelRatio() const { return devicePixelRatio_; }
    void setDevicePixelRatio(double ratio) { devicePixelRatio_ = ratio > 0 ? ratio : 1; }

    const QImage& image() const { return image_; }
    void setImage(const QImage& image);
    bool isMirrored() const { return mirrored_; }
    void setMirrored(bool mirrored);

    // Where the picture lands inside frame(); empty without a picture.
    QRectF videoRect() const;
    void paint(QPainter& painter) const;

Q_SIGNALS:
    void contentChanged();

private:
    QRectF frame_;
    QImage image_;
    bool mirrored_ = false;
    double devicePixelRatio_ = 1;
};

}  // namespace ovira

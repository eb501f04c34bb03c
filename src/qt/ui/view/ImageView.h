#pragma once

#include <QImage>
#include <QWidget>

#include "resources/EKYCImage.h"

namespace ovira {

// Shows one picture: a vector asset of the library, or a photograph. The
// picture is scaled by the content mode and clipped to the corner radius.
// It never takes input, so the row or button under it gets the taps.
// Screen readers see a picture named by its accessible name; without one it
// is decoration and they skip it.
class ImageView : public QWidget {
    Q_OBJECT
public:
    enum class ContentMode { scaleAspectFit, scaleAspectFill, center };

    explicit ImageView(QWidget* parent = nullptr);

    const EKYCImage& image() const { return image_; }
    void setImage(const EKYCImage& image) { setPicture(image, {}); }
    const QImage& photo() const { return photo_; }
    void setPhoto(const QImage& photo) { setPicture({}, photo); }
    // Shows nothing.
    void clear() { setPicture({}, {}); }

    void setContentMode(ContentMode mode) { mode_ = mode; update(); }
    qreal cornerRadius() const { return radius_; }
    void setCornerRadius(qreal radius) { radius_ = radius; update(); }

    // With a picture, the height that shows it whole at `width`.
    bool hasHeightForWidth() const override { return !naturalSize().isEmpty(); }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setPicture(const EKYCImage& image, const QImage& photo);
    QSizeF naturalSize() const { return photo_.isNull() ? image_.size() : QSizeF(photo_.size()); }

    EKYCImage image_;
    QImage photo_;
    ContentMode mode_ = ContentMode::scaleAspectFit;
    qreal radius_ = 0;
};

}  // namespace ovira

#pragma once

#include <QColor>
#include <QWidget>

namespace ovira {

// A plain surface (a card, a sheet's panel) filled with its colour in the
// shape of its layer: corners rounded smoothly by fCornerRadius or
// roundCorners, without a jagged mask.
class SurfaceView : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceView(QWidget* parent = nullptr);

    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor background_ = Qt::white;
};

}  // namespace ovira

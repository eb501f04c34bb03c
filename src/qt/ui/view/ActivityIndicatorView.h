#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

namespace ovira {

// A spinning activity indicator: twelve spokes that fade round the circle,
// on a rounded square of the background colour. It shows only while it spins.
class ActivityIndicatorView : public QWidget {
    Q_OBJECT
public:
    explicit ActivityIndicatorView(QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color) { color_ = color; update(); }
    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& color) { background_ = color; update(); }
    void setCornerRadius(qreal radius) { cornerRadius_ = radius; update(); }

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return spinner_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_ = Qt::gray;
    QColor background_ = Qt::transparent;
    qreal cornerRadius_ = 0;
    int phase_ = 0;
    QTimer spinner_;  // a spoke on each tick, round once a second
};

}  // namespace ovira
